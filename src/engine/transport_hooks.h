#pragma once

// Where transport hands over to other parts of the player: moving through the playlist, the
// chapters of the current item, and the video engine's own transport. Each hook is called where
// seeking, pausing, stopping or the volume needs it; a part not built yet (the video engine) does
// nothing, answers "nothing there" (position 0) and logs once that it is missing.
#include <functional>

namespace kestrel {

// Skips `count` tracks forward (positive) or backward (negative) in the playlist. The playlist
// sits above the engine, so it installs the skipper at start.
void SkipTracks(int count);
void SetTrackSkipper(std::function<void(int)> skipper);

// Whether the current item has chapters; previous and next chapter of the current item.
bool CurrentItemHasChapters();
void PreviousChapter();
void NextChapter();

// The video engine's transport, used while a video plays.
void ToggleVideoPause();
void SeekVideoBy(double seconds);
void SeekVideoTo(double seconds);
double VideoPositionSeconds();
void SetVideoVolume(float volume);
void SetVideoMute(bool muted);
// After a video stops: the main window goes back to its audio size, 500 × 150 (size only).
void RestoreAudioWindowSize();

}  // namespace kestrel
