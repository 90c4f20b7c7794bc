#pragma once

#include <string>

// Turning one playlist item into playing sound, and closing it again. User-interface thread only.
namespace kestrel {

// Opens a local path or an internet address (UTF-8) and starts it. Internet addresses
// (http://, https://, ftp://, any case) go to OpenUrl; video files to the video engine. For a
// local file: closes what played, creates the decoding source (the MIDI synthesiser for MIDI
// files), puts the tempo processor on it (falling back to SoundTouch when the chosen algorithm
// cannot be created), applies rate and the effect chain, sets the end sync (which posts the Next
// command), restores a remembered position and plays. A failure is explained in a message box
// when the playlist has fewer than two items (otherwise the playlist moves on silently); after a
// failure nothing plays. Returns true when the item now plays.
bool OpenMedia(const std::string& item);

// Opens an internet stream; `silent` callers get no message box for a stream that cannot be
// opened. Addresses other than http:// and https:// are refused with a message box even when
// silent. Returns true when it plays.
bool OpenUrl(const std::string& url, bool silent);

// Whether the last OpenUrl was called off by Stop while it connected: the caller then tries no
// further item.
bool OpenWasCancelled();

// Stops and frees everything that plays (channels, syncs, effect chain, tempo processor; the
// video engine when a video plays) and empties the player state's handles. Used by the device
// switch and at exit.
void CloseMedia();

// The item OpenMedia last opened, while it is still open; empty otherwise. The device switch
// reopens it on the new device.
const std::string& OpenedPath();

}  // namespace kestrel
