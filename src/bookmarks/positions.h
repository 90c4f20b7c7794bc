#pragma once

#include <string>

// Remembered positions of long items: saved when the playlist leaves an item and at exit,
// restored by the opener (engine/pending_media_hooks.h). User-interface thread only.
namespace kestrel {

// Saves the position of the playing item under `path` when [Playback] RememberPosMinutes is
// above 0, an audio channel is open with an active tempo processor, and the item is at least
// that long. True when a position was stored.
bool SaveCurrentPosition(const std::string& path);

// The same for the playlist's current item, provided it is the item that is open (a channel
// left over from another item is never saved under this one's path). For exit and leaving.
bool SaveCurrentItemPosition();

// Makes the playlist save the position of every item it leaves (PlayItem and the
// replace-playlist helper). Call once at start; UninstallPositionSaving undoes it.
void InstallPositionSaving();
void UninstallPositionSaving();

}  // namespace kestrel
