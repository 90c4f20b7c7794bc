#pragma once

#include <string>

#include "audio/audio.h"

// A new song title on the internet stream that plays: the audio layer's metadata sync posts
// message 1027 and the main window hands it here. User-interface thread only.
namespace kestrel {

// Reads the stream title of what plays; a non-empty one goes into the song history (which keeps
// a repeat of the newest title out) and, with [Speech] TrackChange on, is spoken, interrupting.
// A station that sends the same title again in a later metadata block is not announced again
// until the title changes or another stream is opened. The caller refreshes the window title
// afterwards, since the title names the song.
void OnStreamMetadata();

// The track announcement said this stream title of `channel` when the stream opened: its first
// metadata report then stores it without saying it a second time.
void NoteAnnouncedStreamTitle(audio::Handle channel, const std::string& title);

}  // namespace kestrel
