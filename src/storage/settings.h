#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/shared_value.h"

// The in-memory settings: one field per key of Kestrel.ini, read once at start and written back
// at the fixed saving moments below. Between those moments the rest of the program reads and
// changes the fields directly (on the user-interface thread); nothing else caches them.
//
// When the file is written
// ------------------------
// | moment                                          | who calls                 | what is written                   |
// |-------------------------------------------------|---------------------------|-----------------------------------|
// | exit, right after SaveSessionState              | main window shutdown      | SaveSettings                      |
// | Options dialog closed with OK                   | options dialog            | SaveSettings                      |
// | output device switched                          | audio device menu         | SaveSettings                      |
// | repeat mode cycled, shuffle toggled             | playlist commands         | SaveSettings                      |
// | each change on the Global Hotkeys page          | options dialog            | SaveHotkeys ([Hotkeys] only)      |
// | exit, right before SaveSettings                 | SavePlaybackState         | SaveSessionState or ForgetSession |
// | a preset saved or deleted                       | presets menu              | SavePreset / DeletePreset         |
// | a new yt-dlp downloaded                         | yt-dlp updater (worker)   | WriteYtdlpVersion                 |
//
// Values changed by key presses (volume, pitch, tempo, rate, effect parameters, the current seek
// unit) reach the file only at the next SaveSettings.
namespace kestrel {

inline constexpr int kEffectParameterCount = 38;  // effect parameter ids 0-37
inline constexpr int kStreamEffectCount = 4;      // 0 volume, 1 pitch, 2 tempo, 3 rate
inline constexpr int kDspEffectCount = 8;         // reverb, echo, EQ, compressor, stereo width,
                                                  // center cancel, convolution, 3D audio
inline constexpr int kSeekUnitCount = 13;         // 0-11 time and track units, 12 the chapter
inline constexpr int kMaxRecentFiles = 10;
inline constexpr int kHotkeyActionCount = 39;     // action indexes 0-38

using EffectValues = std::array<SharedFloat, kEffectParameterCount>;
// Every effect parameter at its default, indexed by id (0-3: volume 1, pitch 0, tempo 0, rate 1).
EffectValues DefaultEffectValues();

// One user hotkey of [Hotkeys].
struct HotkeyEntry {
  int id = 0;                   // given at run time by NextHotkeyId, never stored
  std::uint32_t modifiers = 0;  // 1 Alt, 2 Ctrl, 4 Shift, 8 Win
  std::uint32_t key = 0;        // virtual-key code
  int action = 0;               // index into the action table, 0-38
  bool operator==(const HotkeyEntry&) const = default;
};

struct Settings {
  // [General]
  std::string language;  // as read: "", "en" or "fr"; the file gets the language in use

  // [Playback]
  std::string device_name;  // empty: the system default device
  int rewind_on_pause_ms = 0;
  bool allow_amplify = false;
  bool remember_state = false;
  int remember_pos_minutes = 0;
  bool bring_to_front = true;
  bool minimize_to_tray = true;
  bool load_folder = false;
  bool register_file_types = false;
  float volume_step = 0.02f;  // a fraction; the file holds whole percent
  bool show_title_in_window = true;
  // The live playback values. The volume is read by the volume stage on the audio thread.
  SharedFloat playback_volume = 1.0f;  // a fraction 0-1, or 0-4 with allow_amplify
  SharedFloat playback_pitch = 0.0f;   // semitones
  SharedFloat playback_tempo = 0.0f;   // percent
  SharedFloat playback_rate = 1.0f;    // factor
  bool shuffle = false;
  bool auto_advance = true;
  int repeat_mode = 0;  // 0 off, 1 track, 2 all
  bool playlist_follow = true;
  bool check_for_updates = true;
  bool allow_multiple_instances = false;

  // [Advanced]
  int buffer_size = 500;    // ms
  int update_period = 100;  // ms
  int tempo_algorithm = 0;  // 0 SoundTouch, 1 Speedy, 2 Signalsmith
  bool legacy_volume = false;
  bool disable_batch_delay = false;
  float eq_bass_freq = 50.0f;  // Hz
  float eq_mid_freq = 1000.0f;
  float eq_treble_freq = 12000.0f;

  // [SoundTouch]
  bool anti_alias_filter = true;
  int aa_filter_length = 32;  // taps 8-128 as stored; the audio layer rounds it to a multiple of 8
  bool quick_algorithm = false;
  int sequence_ms = 82;     // 0: automatic
  int seek_window_ms = 28;  // 0: automatic
  int overlap_ms = 8;
  bool prevent_click = false;
  int soundtouch_algorithm = 1;  // rate interpolation: 0 linear, 1 cubic, 2 Shannon

  // [Speedy]
  bool nonlinear_speedup = true;

  // [Signalsmith]
  int signalsmith_preset = 0;  // 0 default, 1 cheaper
  int tonality_limit = 0;      // Hz, 0: automatic

  // [Effects]
  int reverb_algorithm = 0;  // 0 off, 1 Freeverb, 2 DX8, 3 I3DL2
  bool effects_volume = true;  // the stream effects in the cycle list
  bool effects_pitch = false;
  bool effects_tempo = false;
  bool effects_rate = false;
  int rate_step_mode = 0;  // 0 steps of 0.01, 1 semitone ratios
  int current_effect = 0;  // 0-3, always one whose switch is on (0 when none is)

  // [DSPEffects]: the on-flags of DSP effects 0-7 (kDspEffectFlags gives them by index).
  bool dsp_reverb = false;  // written from reverb_algorithm; whether a reverb runs is that alone
  bool dsp_echo = false;
  bool dsp_eq = false;
  bool dsp_compressor = false;
  bool dsp_stereo_width = false;
  bool dsp_center_cancel = false;
  bool dsp_convolution = false;
  bool dsp_spatial_audio = false;
  std::string convolution_ir;  // impulse-response file

  // [DSPParams]: the effect parameter values by id. Ids 4-37 are loaded and saved here and read
  // by the DSP callbacks; ids 0-3 only mirror the live playback values above.
  EffectValues effect_values = DefaultEffectValues();

  // [Movement]: the seek units offered by the seek-amount cycle (kSeekUnitFlags by index).
  bool seek_1s = false;
  bool seek_5s = true;
  bool seek_10s = false;
  bool seek_30s = false;
  bool seek_1m = false;
  bool seek_5m = false;
  bool seek_10m = false;
  bool seek_30m = false;
  bool seek_1h = false;
  bool seek_1t = false;
  bool seek_5t = false;
  bool seek_10t = false;
  bool chapter_seek = true;
  int current_seek = 1;  // 0-12 in that order

  // [Speech]
  bool track_change = false;
  bool speech_volume = true;
  bool speech_effect = true;
  bool yt_hybrid = true;

  // [Recording]
  std::string recording_path;  // empty: the user's Music folder
  std::string recording_template = "%Y-%m-%d_%H-%M-%S";
  int recording_format = 0;  // 0 WAV, 1 MP3, 2 OGG Vorbis, 3 FLAC
  int recording_bitrate = 192;  // kbit/s

  // [Downloads]
  std::string downloads_path;
  bool organize_by_feed = false;

  // [MIDI]
  std::string sound_font;
  int max_voices = 128;
  bool sinc_interp = false;

  // [Video] (stored only)
  bool hardware_decoding = true;
  std::string video_output = "gpu";

  // [YouTube]
  std::string ytdlp_path;  // located afresh at each load; empty when yt-dlp was not found
  std::string api_key;
  bool video_mode = false;
  bool clear_cache_on_exit = false;
  int cache_limit_mb = 0;  // 0: unlimited

  // [RecentFiles]: most recent first, at most kMaxRecentFiles.
  std::vector<std::string> recent_files;

  // [Hotkeys]
  bool hotkeys_enabled = true;
  std::vector<HotkeyEntry> hotkeys;
};

// The switches by index, for code that walks them in order.
inline constexpr bool Settings::*kStreamEffectSwitches[kStreamEffectCount] = {
    &Settings::effects_volume, &Settings::effects_pitch, &Settings::effects_tempo,
    &Settings::effects_rate};
inline constexpr bool Settings::*kDspEffectFlags[kDspEffectCount] = {
    &Settings::dsp_reverb,        &Settings::dsp_echo,          &Settings::dsp_eq,
    &Settings::dsp_compressor,    &Settings::dsp_stereo_width,  &Settings::dsp_center_cancel,
    &Settings::dsp_convolution,   &Settings::dsp_spatial_audio};
inline constexpr bool Settings::*kSeekUnitFlags[kSeekUnitCount] = {
    &Settings::seek_1s,  &Settings::seek_5s,  &Settings::seek_10s, &Settings::seek_30s,
    &Settings::seek_1m,  &Settings::seek_5m,  &Settings::seek_10m, &Settings::seek_30m,
    &Settings::seek_1h,  &Settings::seek_1t,  &Settings::seek_5t,  &Settings::seek_10t,
    &Settings::chapter_seek};

// The process-wide record, touched only on the user-interface thread.
Settings& TheSettings();

// The settings file, resolved once: installed copies keep it in the user's configuration folder,
// portable ones beside the executable; KESTREL_HOME overrides both.
std::filesystem::path SettingsFilePath();
bool IsInstalledCopy();
// Forgets the resolved path so the next call resolves it again (tests change KESTREL_HOME).
void ResetSettingsPathForTesting();
// Forgets the path and what earlier loads saw, as at the start of a fresh process.
void ResetSettingsStoreForTesting();

// The early read made before anything else is loaded.
bool ReadAllowMultipleInstances();

// Start-up, before the main window: every key of the general table (missing keys take their
// defaults, out-of-range values are corrected), then locates yt-dlp and makes the language
// active (the file's, or the system's when the file names none).
void LoadSettings();
// Main-window creation, after the effect defaults: the [DSPEffects] flags and impulse-response
// path, the [DSPParams] values (clamped to each parameter's range; a missing or empty value
// keeps the default) and the recent-files list. Loading the impulse response itself and handing
// the values to the running effects is the effect subsystem's next step.
void LoadEffectSettings();
// Writes every key the two loads read, in its written form, plus the recent-files list, in
// place. A key is left alone when this copy did not change it and another running copy did
// since this one loaded. The effect keys and the recent list are written only once
// LoadEffectSettings has run, so an early save never puts defaults over them. False when the
// file could not be written or a value could not be (a text holding a line break).
bool SaveSettings();

// [YouTube] YtdlpVersion, kept by the yt-dlp updater apart from the general load and save. Safe
// to call from its worker thread: it touches the file only, never `Settings`.
std::string ReadYtdlpVersion();
bool WriteYtdlpVersion(const std::string& tag);

}  // namespace kestrel
