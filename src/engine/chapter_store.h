#pragma once

#include <string>

#include "audio/audio.h"
#include "base/ui_messages.h"
#include "engine/chapter_list.h"

// The chapter list of the current item: read from its tags when it opens, or handed over by the
// podcast dialog for the item it is about to open. User-interface thread only, except
// RequestChaptersAfterDownload.
namespace kestrel {

// Posted by RequestChaptersAfterDownload; lparam is the metadata channel whose download has
// completed. The main window answers it with ReadChaptersAfterDownload.

// Hands over the chapters of `item` (the path or URL about to be opened), used as they are and
// in their order instead of the chapters in its tags. They wait for the next open: when that
// open is of another item they are dropped, never given to it. An empty list cancels a waiting
// hand-over. The chapters of what plays now are left alone.
void SetPendingChapters(const std::string& item, ChapterList entries);

// Called after `item` has opened with `channel` as its metadata channel: the list becomes the
// chapters handed over for this item, else those of its tags (Vorbis comment chapters first,
// then ID3v2 chapter frames), else nothing. Reopening the item whose chapters were handed over
// (the device switch, playing it again) keeps them.
void ReadChaptersAtOpen(audio::Handle channel, const std::string& item);

// Any thread (the audio layer's sync thread): asks the user-interface thread to read the chapters
// of an internet item whose download has just completed. Nothing happens without a main window.
void RequestChaptersAfterDownload(audio::Handle channel);
// The user-interface side of it: reads the chapters of `channel` when it is still the current
// item's metadata channel and no chapters are known for it yet.
void ReadChaptersAfterDownload(audio::Handle channel);

// Whether the item open now has chapters (a list read for another open never counts).
bool HasChapters();
// The current item's chapters, sorted as they are used; empty when it has none.
const ChapterList& CurrentChapters();

// Forgets everything, as at start (tests).
void ResetChaptersForTesting();

}  // namespace kestrel
