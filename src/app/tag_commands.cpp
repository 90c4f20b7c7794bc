#include "app/tag_commands.h"

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "engine/tag_track_info.h"
#include "engine/tag_window.h"

namespace kestrel {

void CommandSpeakNowPlaying(int, std::int64_t) { SpeakTrackInfo(TrackInfoField::kTitle); }

// 260 is the file name; 261-269 are title, artist, album, year, track, genre, comment, bitrate,
// duration.
void CommandSpeakTag(int id, std::int64_t) {
  if (id == cmd::kSpeakFileName) {
    SpeakTrackInfo(TrackInfoField::kFileName);
  } else {
    SpeakTrackInfo(static_cast<TrackInfoField>(id - cmd::kSpeakTagFirst));
  }
}

// 270-279: title .. duration, then the file name, in a window.
void CommandShowTag(int id, std::int64_t) {
  ShowTagWindow(Shell().main_window, static_cast<TrackInfoField>(id - cmd::kShowTagFirst));
}

}  // namespace kestrel
