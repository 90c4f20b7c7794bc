#pragma once

// Moving through the current item by chapters, with the chapter spoken as "Chapter N: title".
// Nothing happens without chapters or without a heard output stream (so never during video).
// User-interface thread only.
namespace kestrel {

// To the first chapter that starts more than half a second after the position; nothing when
// there is none.
void GoToNextChapter();

// Back to the start of the chapter playing when more than 3 s into it; otherwise to the start
// of the chapter before it, or to the beginning of the item ("Beginning") from the first
// chapter. Nothing before the first chapter's start.
void GoToPreviousChapter();

}  // namespace kestrel
