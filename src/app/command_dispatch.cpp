#include "app/command_dispatch.h"

#include "app/command_ids.h"
#include "app/key_tables.h"
#include "app/effect_commands.h"
#include "app/output_commands.h"
#include "app/pending_steps.h"
#include "app/playlist_commands.h"
#include "app/transport_commands.h"
#include "app/shell_commands.h"
#include "app/tag_commands.h"
#include "app/tray_icon.h"
#include "base/post_to_ui.h"
#include "diag/logger.h"

namespace kestrel {
namespace {

constexpr CommandHandler kNotBuilt = nullptr;

// One row per command id or id range, in id order.
constexpr CommandRoute kRoutes[] = {
    {101, 101, "open file dialog, replaces the playlist", CommandOpenDialog},
    {102, 102, "exit", CommandExit},
    {103, 103, "options dialog", kNotBuilt},
    {104, 104, "open URL dialog", CommandOpenUrlDialog},
    {105, 105, "YouTube search window", kNotBuilt},
    {106, 106, "hide the window to the tray", CommandHideToTray},
    {107, 107, "radio dialog", kNotBuilt},
    {108, 108, "scheduler dialog", kNotBuilt},
    {109, 109, "loaded plug-ins report", CommandPluginReport},
    {110, 110, "add a folder to the playlist", CommandAddFolderDialog},
    {111, 111, "playlist manager", CommandPlaylistManager},
    {112, 112, "check for updates", kNotBuilt},
    {113, 113, "add the playing stream to the radio favorites", kNotBuilt},
    {114, 114, "open the readme", CommandReadme},
    {118, 118, "YouTube self-test", kNotBuilt},
    {119, 119, "clear the YouTube cache", kNotBuilt},
    {120, 120, "dialog layout audit", kNotBuilt},
    {121, 121, "open the manual", CommandManual},
    {122, 122, "paste media from the clipboard", CommandPasteMedia},
    {123, 123, "toggle keyboard help", CommandKeyboardHelp},
    {201, 201, "play/pause", CommandPlayPause},
    {202, 202, "stop", CommandStop},
    {203, 203, "previous item", CommandPrevious},
    {204, 204, "next item", CommandNext},
    {205, 206, "seek by the seek unit", CommandSeek},
    {207, 208, "volume up/down", CommandVolume},
    {209, 211, "speak elapsed, remaining, total time", CommandSpeakTime},
    {212, 212, "play", CommandPlay},
    {213, 213, "pause", CommandPause},
    {214, 214, "speak the title", CommandSpeakNowPlaying},
    {215, 215, "toggle shuffle", CommandShuffle},
    {216, 216, "seek to the beginning", CommandBeginning},
    {217, 217, "jump to time dialog", CommandJumpToTime},
    {218, 218, "toggle mute", CommandMute},
    {219, 219, "cycle the repeat mode", CommandRepeat},
    {220, 221, "previous/next seek unit", CommandCycleSeekUnit},
    {230, 231, "previous/next effect parameter", CommandCycleEffect},
    {232, 236, "adjust the current effect parameter", CommandAdjustEffect},
    {237, 237, "audio device menu", CommandDeviceMenu},
    {238, 238, "effect presets menu", kNotBuilt},
    {240, 243, "toggle volume, pitch, tempo, rate in the cycle", CommandToggleStreamEffect},
    {244, 249, "cycle the reverb, toggle DSP effects", kNotBuilt},
    {250, 250, "speak the seek unit", CommandSpeakSeekUnit},
    {251, 251, "toggle 3D audio", kNotBuilt},
    {252, 252, "toggle convolution reverb", kNotBuilt},
    {260, 269, "speak the file name or a tag", CommandSpeakTag},
    {270, 279, "show a tag in a window", CommandShowTag},
    {700, 700, "restore from the tray", CommandRestoreFromTray},
    {701, 701, "exit", CommandExit},
    {702, 702, "show or hide the window", CommandToggleWindow},
    {800, 800, "add a bookmark", CommandAddBookmark},
    {801, 801, "bookmarks dialog", CommandBookmarksDialog},
    {820, 820, "start or stop recording", kNotBuilt},
    {940, 940, "podcast dialog", kNotBuilt},
    {990, 990, "song history dialog", CommandSongHistoryDialog},
    {1200, 1200, "toggle full-screen video", kNotBuilt},
    {1201, 1203, "subtitles", kNotBuilt},
    {1240, 1240, "cycle the video's audio track", kNotBuilt},
    {1270, 1270, "cycle the aspect ratio", kNotBuilt},
    {1280, 1280, "video screenshot", kNotBuilt},
    {cmd::kAudioDeviceFirst, cmd::kAudioDeviceLast, "switch the output device", CommandSelectDevice},
    {cmd::kRecentFirst, cmd::kRecentLast, "open a recent file", CommandRecentFile},
    {cmd::kPresetLoadFirst, cmd::kPresetLoadLast, "load an effect preset", kNotBuilt},
    {cmd::kPresetDeleteFirst, cmd::kPresetDeleteLast, "delete an effect preset", kNotBuilt},
    {cmd::kPresetSave, cmd::kPresetSave, "save the effects as a preset", kNotBuilt},
};

CommandObserver& Observer() {
  static CommandObserver observer;
  return observer;
}

// The four media keys registered with the system, in this id order.
constexpr int kMediaHotkeyFirst = 0x7F00;
constexpr int kMediaCommands[] = {cmd::kPlayPause, cmd::kStop, cmd::kPrevious, cmd::kNext};

}  // namespace

std::span<const CommandRoute> CommandRoutes() { return kRoutes; }

const CommandRoute* FindCommandRoute(int id) {
  for (const CommandRoute& route : kRoutes) {
    if (id >= route.first_id && id <= route.last_id) return &route;
  }
  return nullptr;
}

void SetCommandObserverForTesting(CommandObserver observer) { Observer() = std::move(observer); }

void DispatchCommand(int id, std::int64_t lparam) {
  if (Observer() && Observer()(id, lparam)) return;
  const CommandRoute* route = FindCommandRoute(id);
  if (!route) return;
  if (!route->handler) {
    LogFormat("COMMAND", "%d (%s): not built yet", id, route->operation);
    return;
  }
  route->handler(id, lparam);
}

void DispatchHotkey(int hotkey_id) {
  const int media = hotkey_id - kMediaHotkeyFirst;
  if (media >= 0 && media < static_cast<int>(std::size(kMediaCommands))) {
    PostCommand(kMediaCommands[media]);
    return;
  }
  const int command = ActionCommand(pending::UserHotkeyAction(hotkey_id));
  if (command != 0) PostCommand(command);
}

}  // namespace kestrel
