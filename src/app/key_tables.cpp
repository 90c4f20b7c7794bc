#include "app/key_tables.h"

#include <Qt>

#include "app/command_ids.h"

namespace kestrel {
namespace {

// Set-1 scan codes of the top row.
constexpr int kScan1 = 0x02, kScan0 = 0x0B, kScanMinus = 0x0C, kScanEquals = 0x0D;

constexpr AcceleratorRow ByKey(int key, unsigned mods, int command, const char* help) {
  return {key, 0, mods, command, nullptr, help};
}
constexpr AcceleratorRow ByPosition(int scan, const char* label, unsigned mods, int command,
                                    const char* help) {
  return {0, scan, mods, command, label, help};
}

// In the order of the original accelerator resource.
constexpr AcceleratorRow kAccelerators[] = {
    ByKey(Qt::Key_O, kCtrl, cmd::kOpen, "Open file"),
    ByKey(Qt::Key_O, kCtrl | kShift, cmd::kAddFolder, "Add folder"),
    ByKey(Qt::Key_P, kCtrl, cmd::kPlaylist, "Playlist"),
    ByKey(Qt::Key_U, kCtrl, cmd::kOpenUrl, "Open URL"),
    ByKey(Qt::Key_Y, kCtrl, cmd::kYouTube, "YouTube"),
    ByKey(Qt::Key_R, kCtrl, cmd::kRadio, "Radio"),
    ByKey(Qt::Key_D, kCtrl, cmd::kAddStreamToFavorites, "Add stream to favorites"),
    ByKey(Qt::Key_P, kCtrl | kShift, cmd::kPodcasts, "Podcasts"),
    ByKey(Qt::Key_S, kCtrl, cmd::kSchedule, "Schedule"),
    ByKey(Qt::Key_H, kCtrl, cmd::kHideToTray, "Hide to tray"),
    ByKey(Qt::Key_H, kCtrl | kShift, cmd::kSongHistory, "Song history"),
    ByKey(Qt::Key_Comma, kCtrl, cmd::kOptions, "Options"),
    ByKey(Qt::Key_Space, kNoModifier, cmd::kPlayPause, "Play/Pause"),
    ByKey(Qt::Key_Left, kNoModifier, cmd::kSeekBackward, "Seek backward"),
    ByKey(Qt::Key_Right, kNoModifier, cmd::kSeekForward, "Seek forward"),
    ByKey(Qt::Key_Up, kNoModifier, cmd::kIncreaseEffect, "Increase current parameter"),
    ByKey(Qt::Key_Down, kNoModifier, cmd::kDecreaseEffect, "Decrease current parameter"),
    ByKey(Qt::Key_Up, kCtrl, cmd::kVolumeUp, "Volume up"),
    ByKey(Qt::Key_Down, kCtrl, cmd::kVolumeDown, "Volume down"),
    ByKey(Qt::Key_E, kCtrl | kShift, cmd::kSpeakElapsed, "Speak elapsed time"),
    ByKey(Qt::Key_R, kCtrl | kShift, cmd::kSpeakRemaining, "Speak remaining time"),
    ByKey(Qt::Key_T, kCtrl | kShift, cmd::kSpeakTotal, "Speak total duration"),
    ByKey(Qt::Key_Home, kNoModifier, cmd::kBeginning, "Beginning of track"),
    ByKey(Qt::Key_M, kCtrl, cmd::kBookmarks, "Bookmarks manager"),
    ByKey(Qt::Key_Backspace, kNoModifier, cmd::kResetEffect, "Reset effect to default"),
    ByKey(Qt::Key_Home, kCtrl, cmd::kEffectMinimum, "Set effect to minimum"),
    ByKey(Qt::Key_End, kCtrl, cmd::kEffectMaximum, "Set effect to maximum"),
    ByKey(Qt::Key_F1, kNoModifier, cmd::kManual, "Open manual"),
    ByKey(Qt::Key_F12, kNoModifier, cmd::kKeyboardHelp, nullptr),
    ByKey(Qt::Key_V, kCtrl, cmd::kPaste, "Paste from clipboard"),
    ByKey(Qt::Key_F11, kNoModifier, cmd::kFullscreen, "Toggle fullscreen"),
    ByKey(Qt::Key_A, kCtrl | kShift, cmd::kCycleAudioTrack, "Cycle audio track"),
    ByKey(Qt::Key_S, kCtrl | kShift, cmd::kScreenshot, "Take screenshot"),
    ByPosition(kScan1 + 0, "1", kCtrl, 240, "Toggle Volume"),
    ByPosition(kScan1 + 1, "2", kCtrl, 241, "Toggle Pitch"),
    ByPosition(kScan1 + 2, "3", kCtrl, 242, "Toggle Tempo"),
    ByPosition(kScan1 + 3, "4", kCtrl, 243, "Toggle Rate"),
    ByPosition(kScan1 + 4, "5", kCtrl, 244, "Cycle Reverb algorithm"),
    ByPosition(kScan1 + 5, "6", kCtrl, 245, "Toggle Echo"),
    ByPosition(kScan1 + 6, "7", kCtrl, 246, "Toggle Equalizer"),
    ByPosition(kScan1 + 7, "8", kCtrl, 247, "Toggle Compressor"),
    ByPosition(kScan1 + 8, "9", kCtrl, 248, "Toggle Stereo Width"),
    ByPosition(kScan0, "0", kCtrl, 249, "Toggle Center Cancel"),
    ByPosition(kScanMinus, "-", kCtrl, cmd::kToggleConvolution, "Toggle Convolution Reverb"),
    ByPosition(kScanEquals, "=", kCtrl, cmd::kToggle3dAudio, "Toggle 3D Audio"),
    ByPosition(kScan1 + 0, "1", kNoModifier, 261, "Speak title tag"),
    ByPosition(kScan1 + 1, "2", kNoModifier, 262, "Speak artist tag"),
    ByPosition(kScan1 + 2, "3", kNoModifier, 263, "Speak album tag"),
    ByPosition(kScan1 + 3, "4", kNoModifier, 264, "Speak year tag"),
    ByPosition(kScan1 + 4, "5", kNoModifier, 265, "Speak track number tag"),
    ByPosition(kScan1 + 5, "6", kNoModifier, 266, "Speak genre tag"),
    ByPosition(kScan1 + 6, "7", kNoModifier, 267, "Speak comment tag"),
    ByPosition(kScan1 + 7, "8", kNoModifier, 268, "Speak bitrate tag"),
    ByPosition(kScan1 + 8, "9", kNoModifier, 269, "Speak duration tag"),
    ByPosition(kScan0, "0", kNoModifier, 260, "Speak filename"),
    ByPosition(kScan1 + 0, "1", kShift, 270, "Show title in window"),
    ByPosition(kScan1 + 1, "2", kShift, 271, "Show artist in window"),
    ByPosition(kScan1 + 2, "3", kShift, 272, "Show album in window"),
    ByPosition(kScan1 + 3, "4", kShift, 273, "Show year in window"),
    ByPosition(kScan1 + 4, "5", kShift, 274, "Show track number in window"),
    ByPosition(kScan1 + 5, "6", kShift, 275, "Show genre in window"),
    ByPosition(kScan1 + 6, "7", kShift, 276, "Show comment in window"),
    ByPosition(kScan1 + 7, "8", kShift, 277, "Show bitrate in window"),
    ByPosition(kScan1 + 8, "9", kShift, 278, "Show duration in window"),
    ByPosition(kScan0, "0", kShift, 279, "Show filename in window"),
};

constexpr PositionKeyRow kPositionKeys[] = {
    {0x12, cmd::kRepeat, "Cycle repeat mode"},
    {0x13, cmd::kToggleRecording, "Toggle recording"},
    {0x16, cmd::kMute, "Toggle mute"},
    {0x19, cmd::kPresetsMenu, "Effect presets menu"},
    {0x1A, cmd::kPreviousEffect, "Previous effect parameter"},
    {0x1B, cmd::kNextEffect, "Next effect parameter"},
    {0x1E, cmd::kAudioDeviceMenu, "Audio device menu"},
    {0x23, cmd::kShuffle, "Toggle shuffle"},
    {0x24, cmd::kJumpToTime, "Jump to time"},
    {0x2C, cmd::kPrevious, "Previous track"},
    {0x2D, cmd::kPlay, "Play"},
    {0x2E, cmd::kPause, "Pause"},
    {0x2F, cmd::kStop, "Stop"},
    {0x30, cmd::kNext, "Next track"},
    {0x32, cmd::kAddBookmark, "Add bookmark"},
    {0x33, cmd::kPreviousSeekUnit, "Decrease seek unit"},
    {0x34, cmd::kNextSeekUnit, "Increase seek unit"},
};

// Stored data: a saved hotkey names its action by index.
constexpr ActionRow kActions[] = {
    {201, "Play/Pause"},          {212, "Play"},
    {213, "Pause"},               {202, "Stop"},
    {203, "Previous Track"},      {204, "Next Track"},
    {205, "Seek Backward"},       {206, "Seek Forward"},
    {220, "Previous Seek Unit"},  {221, "Next Seek Unit"},
    {250, "Speak Seek Unit"},     {207, "Volume Up"},
    {208, "Volume Down"},         {209, "Speak Elapsed"},
    {210, "Speak Remaining"},     {211, "Speak Total"},
    {214, "Speak Now Playing"},   {230, "Previous Effect"},
    {231, "Next Effect"},         {232, "Increase Effect"},
    {233, "Decrease Effect"},     {240, "Toggle Volume"},
    {241, "Toggle Pitch"},        {242, "Toggle Tempo"},
    {243, "Toggle Rate"},         {244, "Toggle Reverb"},
    {245, "Toggle Echo"},         {246, "Toggle EQ"},
    {247, "Toggle Compressor"},   {248, "Toggle Stereo Width"},
    {249, "Toggle Center Cancel"}, {252, "Toggle Convolution Reverb"},
    {251, "Toggle 3D Audio"},     {702, "Toggle Window"},
    {105, "YouTube Search"},      {820, "Toggle Recording"},
    {215, "Toggle Shuffle"},      {237, "Audio Device Menu"},
    {218, "Toggle Mute"},
};

}  // namespace

std::span<const AcceleratorRow> Accelerators() { return kAccelerators; }
std::span<const PositionKeyRow> PositionKeys() { return kPositionKeys; }
std::span<const ActionRow> Actions() { return kActions; }
int ActionCount() { return static_cast<int>(std::size(kActions)); }

int ActionCommand(int index) {
  return index >= 0 && index < ActionCount() ? kActions[index].command : 0;
}

const char* ActionName(int index) {
  return index >= 0 && index < ActionCount() ? kActions[index].name : "";
}

}  // namespace kestrel
