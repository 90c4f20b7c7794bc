#pragma once

#include <string>

// What the number keys tell about the current item: 1-9 speak the title, artist, album, year,
// track number, genre, comment, format and duration, 0 the file name; Shift with the same keys
// shows the value in the tag window. User-interface thread only.
namespace kestrel {

// In the order of the keys 1 to 9, then 0.
enum class TrackInfoField {
  kTitle,
  kArtist,
  kAlbum,
  kYear,
  kTrack,
  kGenre,
  kComment,
  kBitrate,
  kDuration,
  kFileName,
};

// What the key speaks, in the active language; "Nothing playing" when nothing plays (for the
// file name also when the playlist has no current item).
std::string SpokenTrackInfo(TrackInfoField field);
// Speaks it, interrupting.
void SpeakTrackInfo(TrackInfoField field);

// The value the tag window shows, without the spoken prefixes.
std::string ShownTrackInfo(TrackInfoField field);
// The window's caption: the English field name ("Title" ... "Filename"), never translated.
const char* TrackInfoCaption(TrackInfoField field);

// The title as key 1 says it: the stream title when there is one; else "Artist - Title" from the
// tags (each completed from the ID3v1 block), or whichever exists; empty when there is neither.
std::string CurrentTitleText();

}  // namespace kestrel
