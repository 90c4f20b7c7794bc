#pragma once

// The session: the whole playlist, the current item and its position, kept in the settings file
// at exit and restored at the next start when [Playback] RememberState is on.
namespace kestrel {

// At exit, right before SaveSettings: with RememberState on, the playlist, the current index and
// the position; off, an emptied session. False when the settings file could not be written (or
// an item could not stand in it).
bool SavePlaybackState();

// At start, after the main window is shown and only when no file was given: with RememberState
// on, refills the playlist (or, with no list saved, the last file alone), makes the saved item
// current, opens it and, unless it is a live stream, moves to the saved position. An item that
// cannot be opened leaves the list as restored and nothing plays. Returns whether an item now
// plays.
bool LoadPlaybackState();

}  // namespace kestrel
