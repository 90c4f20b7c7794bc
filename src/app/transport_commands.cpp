#include "app/transport_commands.h"

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "engine/jump_to_time_dialog.h"
#include "engine/seek_units.h"
#include "engine/transport.h"
#include "engine/volume_control.h"

namespace kestrel {

void CommandStop(int, std::int64_t) { Stop(); }
void CommandPause(int, std::int64_t) { Pause(); }

void CommandSeek(int id, std::int64_t) {
  if (id == cmd::kSeekBackward) {
    SeekBackward();
  } else {
    SeekForward();
  }
}

void CommandBeginning(int, std::int64_t) { SeekToBeginning(); }
void CommandJumpToTime(int, std::int64_t) { ShowJumpToTimeDialog(Shell().main_window); }

void CommandVolume(int id, std::int64_t) {
  if (id == cmd::kVolumeUp) {
    VolumeUp();
  } else {
    VolumeDown();
  }
}

void CommandMute(int, std::int64_t) { ToggleMute(); }

void CommandSpeakTime(int id, std::int64_t) {
  switch (id) {
    case cmd::kSpeakElapsed: SpeakElapsed(); break;
    case cmd::kSpeakRemaining: SpeakRemaining(); break;
    default: SpeakTotal(); break;
  }
}

void CommandCycleSeekUnit(int id, std::int64_t) { CycleSeekUnit(id == cmd::kPreviousSeekUnit ? -1 : +1); }
void CommandSpeakSeekUnit(int, std::int64_t) { SpeakSeekUnit(); }

}  // namespace kestrel
