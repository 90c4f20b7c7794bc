#pragma once

#include <string>
#include <vector>

#include "storage/ini_document.h"

// The saved playback session: [State] TrackCount, CurrentTrack, LastFile, LastPosition and the
// playlist as [Playlist] Track0 …. Restoring and saving it at exit (with the RememberState
// switch) is the playlist's work; this is how it sits in the file.
namespace kestrel {

struct SessionState {
  std::vector<std::string> tracks;  // the non-empty Track keys below TrackCount, in order
  int current_track = 0;            // as stored (-1: none); check it against `tracks` before use
  std::string last_file;            // the current item, or empty
  double last_position = 0;         // seconds, always finite
};

SessionState ReadSessionState(const IniDocument& document);

// Clears [Playlist] and writes the playlist, the current index ("%d", -1 for none) and, when the
// index names an item, that item and the position ("%.2f"); otherwise LastFile "" and
// LastPosition "0". Items that cannot stand on an INI line (a line break in a file name) are left
// out and the index follows the items that remain; false then.
bool WriteSessionState(IniDocument& document, const std::vector<std::string>& tracks,
                       int current_index, double position_seconds);
// Clears [Playlist] and leaves [State] empty: LastFile "", LastPosition "0", TrackCount "0",
// CurrentTrack "0".
void WriteForgottenSessionState(IniDocument& document);

// The same on the settings file.
SessionState LoadSessionState();
bool SaveSessionState(const std::vector<std::string>& tracks, int current_index,
                      double position_seconds);
bool ForgetSessionState();

}  // namespace kestrel
