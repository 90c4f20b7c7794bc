#include "storage/settings_table.h"

#include <algorithm>

#include "i18n/translate.h"

namespace kestrel {
namespace {

using S = Settings;

// ---- Written forms that are not simply the field.

// The file keeps the language in use, also when it was detected from the system.
std::string ActiveLanguageCode(const S&) { return LanguageCode(); }

// Whether a reverb runs is decided by the algorithm alone; the flag follows it into the file.
std::string ReverbFlagFromAlgorithm(const S& s) { return WriteBoolSetting(s.reverb_algorithm != 0); }

// ---- Load rules that depend on a row loaded before.

// The volume may exceed 100 % only with amplification allowed ([Playback] AllowAmplify comes first).
void LimitVolumeToAmplification(S& s) {
  s.playback_volume = std::clamp(s.playback_volume.load(), 0.0f, s.allow_amplify ? 4.0f : 1.0f);
}

// `index` when it lies in [0, count) and names a switch that is on; otherwise the first switch
// that is on among `all`, or `none_on` when every one is off.
template <std::size_t N>
int FirstSwitchOnUnless(const S& s, int index, int count, bool S::*const (&all)[N], int none_on) {
  if (index >= 0 && index < count && s.*all[index]) return index;
  for (std::size_t i = 0; i < N; ++i) {
    if (s.*all[i]) return static_cast<int>(i);
  }
  return none_on;
}

// [Effects] CurrentEffect names one of the four stream effects that is in the cycle list.
void ValidateCurrentEffect(S& s) {
  s.current_effect =
      FirstSwitchOnUnless(s, s.current_effect, kStreamEffectCount, kStreamEffectSwitches, 0);
}

// [Movement] CurrentSeek names a unit that is on. The chapter unit (12) is not restored: there is
// no media with chapters at start, so it falls back like any other invalid index.
void ValidateCurrentSeek(S& s) {
  s.current_seek = FirstSwitchOnUnless(s, s.current_seek, 12, kSeekUnitFlags, 1);
}

// ---- The effect parameter values, kept by id in one array.

float EffectValueAt(const S& s, std::size_t id) { return s.effect_values[id]; }
void SetEffectValueAt(S& s, std::size_t id, float value) { s.effect_values[id] = value; }

// One [DSPParams] key: the parameter's id, default and range; written "%.2f" unless told.
constexpr SettingRow<S> DspParam(std::string_view key, std::size_t id, double default_value,
                                 double min, double max, int decimals = 2) {
  return EmptyKeepsDefault(FloatSlotRow<S>("DSPParams", key, {&EffectValueAt, &SetEffectValueAt, id},
                                           default_value, ClampTo(min, max), decimals));
}

constexpr SettingRow<S> kSettingsRows[] = {
    // [General]
    WrittenAs(TextRow("General", "Language", &S::language, 7), &ActiveLanguageCode),

    // [Playback]
    TextRow("Playback", "DeviceName", &S::device_name, 255),
    IntRow("Playback", "RewindOnPauseMs", &S::rewind_on_pause_ms, 0, AtLeast(0)),
    BoolRow("Playback", "AllowAmplify", &S::allow_amplify, false),
    BoolRow("Playback", "RememberState", &S::remember_state, false),
    IntRow("Playback", "RememberPosMinutes", &S::remember_pos_minutes, 0),
    BoolRow("Playback", "BringToFront", &S::bring_to_front, true),
    BoolRow("Playback", "MinimizeToTray", &S::minimize_to_tray, true),
    BoolRow("Playback", "LoadFolder", &S::load_folder, false),
    BoolRow("Playback", "RegisterFileTypes", &S::register_file_types, false),
    PercentRow("Playback", "VolumeStep", &S::volume_step, 2, ClampTo(0.01, 0.25)),
    BoolRow("Playback", "ShowTitleInWindow", &S::show_title_in_window, true),
    AfterLoad(PercentRow("Playback", "Volume", &S::playback_volume, 100, ClampTo(0, 4)),
              &LimitVolumeToAmplification),
    FloatRow("Playback", "Pitch", &S::playback_pitch, 0, ClampTo(-12, 12), 1),
    FloatRow("Playback", "Tempo", &S::playback_tempo, 0, ClampTo(-75, 200), 1),
    FloatRow("Playback", "Rate", &S::playback_rate, 1.0, ClampTo(0.25, 4), 2),
    BoolRow("Playback", "Shuffle", &S::shuffle, false),
    BoolRow("Playback", "AutoAdvance", &S::auto_advance, true),
    IntRow("Playback", "RepeatMode", &S::repeat_mode, 0, ElseDefault(0, 2)),
    BoolRow("Playback", "PlaylistFollow", &S::playlist_follow, true),
    BoolRow("Playback", "CheckForUpdates", &S::check_for_updates, true),
    BoolRow("Playback", "AllowMultipleInstances", &S::allow_multiple_instances, false),

    // [Advanced]
    IntRow("Advanced", "BufferSize", &S::buffer_size, 500, ClampTo(100, 5000)),
    IntRow("Advanced", "UpdatePeriod", &S::update_period, 100, ClampTo(5, 500)),
    IntRow("Advanced", "TempoAlgorithm", &S::tempo_algorithm, 0, ElseDefault(0, 2)),
    BoolRow("Advanced", "LegacyVolume", &S::legacy_volume, false),
    BoolRow("Advanced", "DisableBatchDelay", &S::disable_batch_delay, false),
    FloatRow("Advanced", "EQBassFreq", &S::eq_bass_freq, 50, NotClamped(), 1),
    FloatRow("Advanced", "EQMidFreq", &S::eq_mid_freq, 1000, NotClamped(), 1),
    FloatRow("Advanced", "EQTrebleFreq", &S::eq_treble_freq, 12000, NotClamped(), 1),

    // [SoundTouch]
    BoolRow("SoundTouch", "AntiAliasFilter", &S::anti_alias_filter, true),
    IntRow("SoundTouch", "AAFilterLength", &S::aa_filter_length, 32, ClampTo(8, 128)),
    BoolRow("SoundTouch", "QuickAlgorithm", &S::quick_algorithm, false),
    IntRow("SoundTouch", "SequenceMs", &S::sequence_ms, 82, ClampTo(0, 200)),
    IntRow("SoundTouch", "SeekWindowMs", &S::seek_window_ms, 28, ClampTo(0, 100)),
    IntRow("SoundTouch", "OverlapMs", &S::overlap_ms, 8, ClampTo(0, 50)),
    BoolRow("SoundTouch", "PreventClick", &S::prevent_click, false),
    IntRow("SoundTouch", "Algorithm", &S::soundtouch_algorithm, 1, ClampTo(0, 2)),

    // [Speedy], [Signalsmith]
    BoolRow("Speedy", "NonlinearSpeedup", &S::nonlinear_speedup, true),
    IntRow("Signalsmith", "Preset", &S::signalsmith_preset, 0, ClampTo(0, 1)),
    IntRow("Signalsmith", "TonalityLimit", &S::tonality_limit, 0, ClampTo(0, 20000)),

    // [Effects]; CurrentEffect comes after the four switches it is checked against.
    IntRow("Effects", "ReverbAlgorithm", &S::reverb_algorithm, 0, ClampTo(0, 3)),
    BoolRow("Effects", "Volume", &S::effects_volume, true),
    BoolRow("Effects", "Pitch", &S::effects_pitch, false),
    BoolRow("Effects", "Tempo", &S::effects_tempo, false),
    BoolRow("Effects", "Rate", &S::effects_rate, false),
    IntRow("Effects", "RateStepMode", &S::rate_step_mode, 0, ElseDefault(0, 1)),
    AfterLoad(IntRow("Effects", "CurrentEffect", &S::current_effect, 0), &ValidateCurrentEffect),

    // [Movement]; CurrentSeek comes after the units it is checked against.
    BoolRow("Movement", "Seek1s", &S::seek_1s, false),
    BoolRow("Movement", "Seek5s", &S::seek_5s, true),
    BoolRow("Movement", "Seek10s", &S::seek_10s, false),
    BoolRow("Movement", "Seek30s", &S::seek_30s, false),
    BoolRow("Movement", "Seek1m", &S::seek_1m, false),
    BoolRow("Movement", "Seek5m", &S::seek_5m, false),
    BoolRow("Movement", "Seek10m", &S::seek_10m, false),
    BoolRow("Movement", "Seek30m", &S::seek_30m, false),
    BoolRow("Movement", "Seek1h", &S::seek_1h, false),
    BoolRow("Movement", "Seek1t", &S::seek_1t, false),
    BoolRow("Movement", "Seek5t", &S::seek_5t, false),
    BoolRow("Movement", "Seek10t", &S::seek_10t, false),
    BoolRow("Movement", "ChapterSeek", &S::chapter_seek, true),
    AfterLoad(IntRow("Movement", "CurrentSeek", &S::current_seek, 1), &ValidateCurrentSeek),

    // [Speech]
    BoolRow("Speech", "TrackChange", &S::track_change, false),
    BoolRow("Speech", "Volume", &S::speech_volume, true),
    BoolRow("Speech", "Effect", &S::speech_effect, true),
    BoolRow("Speech", "YTHybrid", &S::yt_hybrid, true),

    // [Recording], [Downloads], [MIDI], [Video], [YouTube]
    TextRow("Recording", "Path", &S::recording_path, 511),
    TextRow("Recording", "Template", &S::recording_template, 511, "%Y-%m-%d_%H-%M-%S"),
    IntRow("Recording", "Format", &S::recording_format, 0, ClampTo(0, 3)),
    IntRow("Recording", "Bitrate", &S::recording_bitrate, 192),
    TextRow("Downloads", "Path", &S::downloads_path, 511),
    BoolRow("Downloads", "OrganizeByFeed", &S::organize_by_feed, false),
    TextRow("MIDI", "SoundFont", &S::sound_font, 259),
    IntRow("MIDI", "MaxVoices", &S::max_voices, 128, ClampTo(1, 1000)),
    BoolRow("MIDI", "SincInterp", &S::sinc_interp, false),
    BoolRow("Video", "HardwareDecoding", &S::hardware_decoding, true),
    TextRow("Video", "VideoOutput", &S::video_output, 63, "gpu"),
    // Read only to be replaced: LoadSettings locates yt-dlp afresh and saves the path in use.
    TextRow("YouTube", "YtdlpPath", &S::ytdlp_path, 511),
    TextRow("YouTube", "ApiKey", &S::api_key, 511),
    BoolRow("YouTube", "VideoMode", &S::video_mode, false),
    BoolRow("YouTube", "ClearCacheOnExit", &S::clear_cache_on_exit, false),
    IntRow("YouTube", "CacheLimitMB", &S::cache_limit_mb, 0, AtLeast(0)),
};

constexpr SettingRow<S> kEffectSettingsRows[] = {
    // [DSPEffects], effects 0-7 in order.
    WrittenAs(BoolRow("DSPEffects", "Reverb", &S::dsp_reverb, false), &ReverbFlagFromAlgorithm),
    BoolRow("DSPEffects", "Echo", &S::dsp_echo, false),
    BoolRow("DSPEffects", "EQ", &S::dsp_eq, false),
    BoolRow("DSPEffects", "Compressor", &S::dsp_compressor, false),
    BoolRow("DSPEffects", "StereoWidth", &S::dsp_stereo_width, false),
    BoolRow("DSPEffects", "CenterCancel", &S::dsp_center_cancel, false),
    BoolRow("DSPEffects", "Convolution", &S::dsp_convolution, false),
    BoolRow("DSPEffects", "SpatialAudio", &S::dsp_spatial_audio, false),
    TextRow("DSPEffects", "ConvolutionIR", &S::convolution_ir, 259),

    // [DSPParams]: key, parameter id, default, minimum, maximum.
    DspParam("ReverbMix", 4, 30, 0, 100),
    DspParam("ReverbRoom", 5, 50, 0, 100),
    DspParam("ReverbDamp", 6, 50, 0, 100),
    DspParam("DX8ReverbTime", 7, 1000, 1, 3000),
    DspParam("DX8ReverbHFRatio", 8, 0.5, 0.001, 0.999, 3),
    DspParam("DX8ReverbMix", 9, -10, -96, 0),
    DspParam("I3DL2Room", 10, -1000, -10000, 0),
    DspParam("I3DL2DecayTime", 11, 1.49, 0.1, 20),
    DspParam("I3DL2Diffusion", 12, 100, 0, 100),
    DspParam("I3DL2Density", 13, 100, 0, 100),
    DspParam("EchoDelay", 14, 300, 10, 2000),
    DspParam("EchoFeedback", 15, 40, 0, 90),
    DspParam("EchoMix", 16, 30, 0, 100),
    DspParam("EQPreamp", 17, 0, -15, 0),
    DspParam("EQBass", 18, 0, -15, 15),
    DspParam("EQMid", 19, 0, -15, 15),
    DspParam("EQTreble", 20, 0, -15, 15),
    DspParam("CompThreshold", 21, -20, -60, 0),
    DspParam("CompRatio", 22, 4, 1, 20),
    DspParam("CompAttack", 23, 20, 0.01, 500),
    DspParam("CompRelease", 24, 200, 10, 2000),
    DspParam("CompGain", 25, 0, -20, 20),
    DspParam("StereoWidth", 26, 100, 0, 200),
    DspParam("CenterCancel", 27, 0, -100, 100),
    DspParam("ConvolutionMix", 28, 50, 0, 100),
    DspParam("ConvolutionGain", 29, 0, -20, 20),
    DspParam("SpatialBlend", 30, 100, 0, 100),
    DspParam("SpatialWidth", 31, 45, 15, 90),
    DspParam("SpatialRotation", 32, 0, -180, 180),
    DspParam("SpatialMode", 33, 0, 0, 1),
    DspParam("SpatialRearCenter", 34, 1, 0, 1),
    DspParam("SpatialX", 35, 0, -50, 50),
    DspParam("SpatialY", 36, 0, -50, 50),
    DspParam("SpatialZ", 37, 0, -50, 50),
};

}  // namespace

std::span<const SettingRow<Settings>> SettingsTable() { return kSettingsRows; }

std::span<const SettingRow<Settings>> EffectSettingsTable() { return kEffectSettingsRows; }

EffectValues DefaultEffectValues() {
  EffectValues values;
  values[0] = 1.0f;  // volume
  values[1] = 0.0f;  // pitch
  values[2] = 0.0f;  // tempo
  values[3] = 1.0f;  // rate
  for (const auto& row : kEffectSettingsRows) {
    if (const auto* slot = std::get_if<FloatSlot<S>>(&row.field)) {
      values[slot->index] = static_cast<float>(row.rule.default_number);
    }
  }
  return values;
}

}  // namespace kestrel
