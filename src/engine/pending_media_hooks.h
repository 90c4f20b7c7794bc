#pragma once

#include <string>

#include "audio/audio.h"

// The points where opening media hands over to parts of the player that are not built yet:
// remembered positions, chapters, the video engine and YouTube. Each hook is called where the
// open sequence needs it and, until its part lands, answers "nothing there" (no position, no
// chapters, no video engine) and logs once that it is missing. None of them pretends to work.
namespace kestrel {

// The remembered position of the item in seconds, 0 for none: [Playback] RememberPosMinutes
// above 0, the new output stream and its active tempo processor in place, the item at least
// that long, and a stored position inside it.
double RestorePosition(const std::string& item);
// Reads the chapters of `item`, freshly opened with `channel` as its metadata channel.
void ReadChapters(audio::Handle channel, const std::string& item);
// Drops a YouTube item waiting to be handed to the player, so it cannot replace this one.
void CancelYouTubeHandOff();

// Whether the video engine can be used (loaded on first asking).
bool IsVideoEngineAvailable();
// Why the video engine could not be loaded; empty when it gave no reason.
std::string VideoEngineLoadError();
// Hands a video file to the video engine; true when it plays.
bool OpenVideoFile(const std::string& path);
// Hands an address (a YouTube page) to the video engine; true when it plays.
bool OpenVideoUrl(const std::string& url);
// Stops the video engine and hides the video surface.
void StopVideoPlayback();

}  // namespace kestrel
