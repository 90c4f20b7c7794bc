#pragma once

// Command ids of the main window, shared by the menu bar, the accelerators, the position keys,
// the tray and video menus and the global hotkeys. The numbers are stored data (hotkeys and logs
// refer to them) and never change.
namespace kestrel::cmd {

inline constexpr int kOpen = 101;
inline constexpr int kExit = 102;
inline constexpr int kOptions = 103;
inline constexpr int kOpenUrl = 104;
inline constexpr int kYouTube = 105;
inline constexpr int kHideToTray = 106;
inline constexpr int kRadio = 107;
inline constexpr int kSchedule = 108;
inline constexpr int kLoadedPlugins = 109;
inline constexpr int kAddFolder = 110;
inline constexpr int kPlaylist = 111;
inline constexpr int kCheckForUpdates = 112;
inline constexpr int kAddStreamToFavorites = 113;
inline constexpr int kReadme = 114;
inline constexpr int kTestYouTube = 118;
inline constexpr int kClearYouTubeCache = 119;
inline constexpr int kAuditLayout = 120;
inline constexpr int kManual = 121;
inline constexpr int kPaste = 122;
inline constexpr int kKeyboardHelp = 123;

inline constexpr int kPlayPause = 201;
inline constexpr int kStop = 202;
inline constexpr int kPrevious = 203;
inline constexpr int kNext = 204;
inline constexpr int kSeekBackward = 205;
inline constexpr int kSeekForward = 206;
inline constexpr int kVolumeUp = 207;
inline constexpr int kVolumeDown = 208;
inline constexpr int kSpeakElapsed = 209;
inline constexpr int kSpeakRemaining = 210;
inline constexpr int kSpeakTotal = 211;
inline constexpr int kPlay = 212;
inline constexpr int kPause = 213;
inline constexpr int kSpeakNowPlaying = 214;
inline constexpr int kShuffle = 215;
inline constexpr int kBeginning = 216;
inline constexpr int kJumpToTime = 217;
inline constexpr int kMute = 218;
inline constexpr int kRepeat = 219;
inline constexpr int kPreviousSeekUnit = 220;
inline constexpr int kNextSeekUnit = 221;
inline constexpr int kPreviousEffect = 230;
inline constexpr int kNextEffect = 231;
inline constexpr int kIncreaseEffect = 232;
inline constexpr int kDecreaseEffect = 233;
inline constexpr int kResetEffect = 234;
inline constexpr int kEffectMinimum = 235;
inline constexpr int kEffectMaximum = 236;
inline constexpr int kAudioDeviceMenu = 237;
inline constexpr int kPresetsMenu = 238;
inline constexpr int kToggleVolume = 240;     // 240..243: Volume, Pitch, Tempo, Rate in the cycle
inline constexpr int kToggleRate = 243;
inline constexpr int kCycleReverb = 244;      // 244..249: reverb cycle, then DSP toggles 1..5
inline constexpr int kToggleCenterCancel = 249;
inline constexpr int kSpeakSeekUnit = 250;
inline constexpr int kToggle3dAudio = 251;
inline constexpr int kToggleConvolution = 252;
inline constexpr int kSpeakFileName = 260;
inline constexpr int kSpeakTagFirst = 261;    // 261..269: title .. duration
inline constexpr int kSpeakTagLast = 269;
inline constexpr int kShowTagFirst = 270;     // 270..279: title .. file name in a window
inline constexpr int kShowTagLast = 279;

inline constexpr int kTrayRestore = 700;
inline constexpr int kTrayExit = 701;
inline constexpr int kToggleWindow = 702;
inline constexpr int kAddBookmark = 800;
inline constexpr int kBookmarks = 801;
inline constexpr int kToggleRecording = 820;
inline constexpr int kPodcasts = 940;
inline constexpr int kSongHistory = 990;

inline constexpr int kFullscreen = 1200;
inline constexpr int kCycleSubtitles = 1201;
inline constexpr int kLoadSubtitleFile = 1202;
inline constexpr int kSubtitlesOff = 1203;
inline constexpr int kCycleAudioTrack = 1240;
inline constexpr int kCycleAspectRatio = 1270;
inline constexpr int kScreenshot = 1280;

inline constexpr int kAudioDeviceFirst = 5000;  // 5000..5099: output device id - 5000
inline constexpr int kAudioDeviceLast = 5099;
inline constexpr int kRecentFirst = 6000;       // 6000..6009: recent entry id - 6000
inline constexpr int kRecentLast = 6009;
inline constexpr int kPresetLoadFirst = 7000;   // 7000..7099
inline constexpr int kPresetLoadLast = 7099;
inline constexpr int kPresetDeleteFirst = 7100; // 7100..7199
inline constexpr int kPresetDeleteLast = 7199;
inline constexpr int kPresetSave = 7200;

}  // namespace kestrel::cmd
