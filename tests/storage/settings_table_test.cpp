#include "storage/settings_table.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "french_locale.h"
#include "i18n/translate.h"
#include "base/utf8.h"
#include "storage/ini_values.h"

namespace kestrel {
namespace {

const SettingRow<Settings>& RowFor(std::string_view section, std::string_view key) {
  for (const auto table : {SettingsTable(), EffectSettingsTable()}) {
    for (const auto& row : table) {
      if (row.section == section && row.key == key) return row;
    }
  }
  throw std::logic_error("no row " + std::string(section) + "/" + std::string(key));
}

// What the general and the effect load give for a hand-written file.
Settings LoadedFrom(const std::string& file) {
  const IniDocument document = IniDocument::Parse(file);
  Settings settings;
  LoadSettingRows(document, SettingsTable(), settings);
  LoadSettingRows(document, EffectSettingsTable(), settings);
  return settings;
}

std::string Form(const Settings& settings, std::string_view section, std::string_view key) {
  return WrittenForm(RowFor(section, key), settings);
}

TEST(SettingsTable, EverySectionAndKeyHasOneRow) {
  std::set<std::string> seen;
  std::size_t rows = 0;
  for (const auto table : {SettingsTable(), EffectSettingsTable()}) {
    for (const auto& row : table) {
      ++rows;
      EXPECT_TRUE(seen.insert(AsciiLower(row.section) + "/" + AsciiLower(row.key)).second)
          << row.section << "/" << row.key << " twice";
    }
  }
  // [General] 1, [Playback] 21, [Advanced] 8, [SoundTouch] 8, [Speedy] 1, [Signalsmith] 2,
  // [Effects] 7, [Movement] 14, [Speech] 4, [Recording] 4, [Downloads] 2, [MIDI] 3, [Video] 2,
  // [YouTube] 5; [DSPEffects] 9, [DSPParams] 34.
  EXPECT_EQ(SettingsTable().size(), 82u);
  EXPECT_EQ(EffectSettingsTable().size(), 43u);
  EXPECT_EQ(rows, 125u);
}

// The defaults written in the record agree with the defaults of the rows: a record that was never
// loaded saves exactly what loading an empty file gives.
TEST(SettingsTable, TheRecordsDefaultsAreTheTablesDefaults) {
  const Settings fresh;
  const Settings from_nothing = LoadedFrom("");
  for (const auto table : {SettingsTable(), EffectSettingsTable()}) {
    for (const auto& row : table) {
      EXPECT_EQ(WrittenForm(row, fresh), WrittenForm(row, from_nothing))
          << row.section << "/" << row.key;
    }
  }
  const EffectValues defaults = DefaultEffectValues();
  EXPECT_FLOAT_EQ(defaults[0], 1.0f);
  EXPECT_FLOAT_EQ(defaults[3], 1.0f);
  EXPECT_FLOAT_EQ(defaults[8], 0.5f);
  EXPECT_FLOAT_EQ(defaults[11], 1.49f);
  EXPECT_FLOAT_EQ(defaults[34], 1.0f);
  EXPECT_FLOAT_EQ(defaults[37], 0.0f);
}

TEST(SettingsTable, HandWrittenFilesLoadAsTheRulesSay) {
  struct Case {
    const char* file;
    const char* section;
    const char* key;
    const char* expected;  // the loaded value in its written form
  } cases[] = {
      // The volume follows AllowAmplify, read just before it; the step is clamped as a fraction.
      {"[Playback]\nVolume=150\nAllowAmplify=0\n", "Playback", "Volume", "100"},
      {"[Playback]\nVolume=150\nAllowAmplify=1\n", "Playback", "Volume", "150"},
      {"[Playback]\nAllowAmplify=1\nVolume=900\n", "Playback", "Volume", "400"},
      {"[Playback]\nVolume=-5\n", "Playback", "Volume", "0"},
      {"[Playback]\nVolume=55.9\n", "Playback", "Volume", "55"},
      {"[Playback]\nVolumeStep=-3\n", "Playback", "VolumeStep", "1"},
      {"[Playback]\nVolumeStep=40\n", "Playback", "VolumeStep", "25"},
      // A present but empty Rate is no number, 0, clamped; a missing one is the default.
      {"[Playback]\nRate=\n", "Playback", "Rate", "0.25"},
      {"[Playback]\n", "Playback", "Rate", "1.00"},
      {"[Playback]\nRate=1.255\n", "Playback", "Rate", "1.25"},
      {"[Playback]\nRate=9\n", "Playback", "Rate", "4.00"},
      {"[Playback]\nPitch=12.5\n", "Playback", "Pitch", "12.0"},
      {"[Playback]\nTempo=-80\n", "Playback", "Tempo", "-75.0"},
      {"[Playback]\nTempo=300\n", "Playback", "Tempo", "200.0"},
      // Out of range to the default, clamped, or kept.
      {"[Advanced]\nTempoAlgorithm=3\n", "Advanced", "TempoAlgorithm", "0"},
      {"[Playback]\nRepeatMode=7\n", "Playback", "RepeatMode", "0"},
      {"[Playback]\nRepeatMode=-1\n", "Playback", "RepeatMode", "0"},
      {"[Playback]\nRepeatMode=2\n", "Playback", "RepeatMode", "2"},
      {"[Effects]\nRateStepMode=2\n", "Effects", "RateStepMode", "0"},
      {"[SoundTouch]\nAlgorithm=5\n", "SoundTouch", "Algorithm", "2"},
      {"[SoundTouch]\nAlgorithm=-1\n", "SoundTouch", "Algorithm", "0"},
      {"[SoundTouch]\nAAFilterLength=4\n", "SoundTouch", "AAFilterLength", "8"},
      {"[SoundTouch]\nAAFilterLength=500\n", "SoundTouch", "AAFilterLength", "128"},
      {"[SoundTouch]\nAAFilterLength=20\n", "SoundTouch", "AAFilterLength", "20"},
      {"[SoundTouch]\nSequenceMs=900\n", "SoundTouch", "SequenceMs", "200"},
      {"[SoundTouch]\nSeekWindowMs=-1\n", "SoundTouch", "SeekWindowMs", "0"},
      {"[SoundTouch]\nOverlapMs=51\n", "SoundTouch", "OverlapMs", "50"},
      {"[Signalsmith]\nPreset=2\n", "Signalsmith", "Preset", "1"},
      {"[Signalsmith]\nTonalityLimit=-5\n", "Signalsmith", "TonalityLimit", "0"},
      {"[Signalsmith]\nTonalityLimit=30000\n", "Signalsmith", "TonalityLimit", "20000"},
      {"[Effects]\nReverbAlgorithm=4\n", "Effects", "ReverbAlgorithm", "3"},
      {"[Advanced]\nBufferSize=abc\n", "Advanced", "BufferSize", "100"},
      {"[Advanced]\nBufferSize= 250ms\n", "Advanced", "BufferSize", "250"},
      {"[Advanced]\nUpdatePeriod=1\n", "Advanced", "UpdatePeriod", "5"},
      {"[Advanced]\nUpdatePeriod=99999999999\n", "Advanced", "UpdatePeriod", "500"},
      {"[MIDI]\nMaxVoices=0\n", "MIDI", "MaxVoices", "1"},
      {"[MIDI]\nMaxVoices=5000\n", "MIDI", "MaxVoices", "1000"},
      {"[Recording]\nFormat=4\n", "Recording", "Format", "3"},
      {"[Recording]\nBitrate=-7\n", "Recording", "Bitrate", "-7"},
      {"[YouTube]\nCacheLimitMB=-1\n", "YouTube", "CacheLimitMB", "0"},
      {"[Playback]\nRewindOnPauseMs=-100\n", "Playback", "RewindOnPauseMs", "0"},
      {"[Playback]\nRememberPosMinutes=-3\n", "Playback", "RememberPosMinutes", "-3"},
      // Floats never come back NaN or infinite, nor beyond what a float holds.
      {"[Playback]\nPitch=nan\n", "Playback", "Pitch", "0.0"},
      {"[Playback]\nPitch=-inf\n", "Playback", "Pitch", "0.0"},
      {"[Playback]\nRate=INFINITY\n", "Playback", "Rate", "1.00"},
      {"[Playback]\nTempo=1e40\n", "Playback", "Tempo", "200.0"},
      {"[Advanced]\nEQBassFreq=nan\n", "Advanced", "EQBassFreq", "50.0"},
      {"[Advanced]\nEQMidFreq=1e39\n", "Advanced", "EQMidFreq", "1000.0"},
      {"[Advanced]\nEQTrebleFreq=-5\n", "Advanced", "EQTrebleFreq", "-5.0"},
      {"[Advanced]\nEQBassFreq=80.25Hz\n", "Advanced", "EQBassFreq", "80.2"},
      // Booleans: any non-zero integer.
      {"[Playback]\nShuffle=-1\n", "Playback", "Shuffle", "1"},
      {"[Playback]\nShuffle=yes\n", "Playback", "Shuffle", "0"},
      {"[Speech]\nVolume=\n", "Speech", "Volume", "0"},
      {"[Speech]\n", "Speech", "Volume", "1"},
      // CurrentEffect names a stream effect that is on.
      {"[Effects]\nCurrentEffect=2\n", "Effects", "CurrentEffect", "0"},
      {"[Effects]\nTempo=1\nCurrentEffect=2\n", "Effects", "CurrentEffect", "2"},
      {"[Effects]\nVolume=0\nPitch=1\nCurrentEffect=7\n", "Effects", "CurrentEffect", "1"},
      {"[Effects]\nVolume=0\nRate=1\nCurrentEffect=-1\n", "Effects", "CurrentEffect", "3"},
      {"[Effects]\nVolume=0\nCurrentEffect=0\n", "Effects", "CurrentEffect", "0"},
      // CurrentSeek names a unit that is on; the chapter unit is not restored.
      {"[Movement]\nCurrentSeek=12\n", "Movement", "CurrentSeek", "1"},
      {"[Movement]\nSeek5s=0\nSeek1m=1\nCurrentSeek=12\n", "Movement", "CurrentSeek", "4"},
      {"[Movement]\nSeek5s=0\nChapterSeek=0\nCurrentSeek=3\n", "Movement", "CurrentSeek", "1"},
      {"[Movement]\nSeek5s=0\nCurrentSeek=12\n", "Movement", "CurrentSeek", "12"},
      {"[Movement]\nSeek30s=1\nCurrentSeek=3\n", "Movement", "CurrentSeek", "3"},
      {"[Movement]\nSeek1h=1\nCurrentSeek=8\n", "Movement", "CurrentSeek", "8"},
      {"[Movement]\nCurrentSeek=0\n", "Movement", "CurrentSeek", "1"},
      // [DSPParams]: clamped to the parameter's range; missing or empty keeps the default.
      {"[DSPParams]\nEchoFeedback=95\n", "DSPParams", "EchoFeedback", "90.00"},
      {"[DSPParams]\nEchoFeedback=\n", "DSPParams", "EchoFeedback", "40.00"},
      {"[DSPParams]\nEchoFeedback=  \n", "DSPParams", "EchoFeedback", "40.00"},
      {"[DSPParams]\nEchoFeedback=abc\n", "DSPParams", "EchoFeedback", "0.00"},
      {"[DSPParams]\nEchoFeedback=nan\n", "DSPParams", "EchoFeedback", "40.00"},
      {"[DSPParams]\nEchoFeedback=55.125\n", "DSPParams", "EchoFeedback", "55.12"},
      {"[DSPParams]\nDX8ReverbHFRatio=2\n", "DSPParams", "DX8ReverbHFRatio", "0.999"},
      {"[DSPParams]\nDX8ReverbHFRatio=0.25\n", "DSPParams", "DX8ReverbHFRatio", "0.250"},
      {"[DSPParams]\nI3DL2DecayTime=0\n", "DSPParams", "I3DL2DecayTime", "0.10"},
      {"[DSPParams]\nCompAttack=-4\n", "DSPParams", "CompAttack", "0.01"},
      {"[DSPParams]\nI3DL2Room=-20000\n", "DSPParams", "I3DL2Room", "-10000.00"},
      {"[DSPParams]\nSpatialRotation=-181\n", "DSPParams", "SpatialRotation", "-180.00"},
      {"[DSPParams]\nSpatialWidth=1\n", "DSPParams", "SpatialWidth", "15.00"},
      {"[DSPParams]\nCenterCancel=-1e300\n", "DSPParams", "CenterCancel", "-100.00"},
      // [DSPEffects] Reverb is read back but written from the algorithm.
      {"[DSPEffects]\nReverb=1\n[Effects]\nReverbAlgorithm=0\n", "DSPEffects", "Reverb", "0"},
      {"[DSPEffects]\nReverb=0\n[Effects]\nReverbAlgorithm=2\n", "DSPEffects", "Reverb", "1"},
      {"[DSPEffects]\nSpatialAudio=1\n", "DSPEffects", "SpatialAudio", "1"},
      // Names without regard to case, blanks around names and values, quotes, duplicates.
      {"  [ playback ]  \n   volume   =   55   \n", "Playback", "Volume", "55"},
      {"[PLAYBACK]\nSHUFFLE=1\n", "Playback", "Shuffle", "1"},
      {"[Playback]\nVolume=\"70\"\n", "Playback", "Volume", "70"},
      {"[Playback]\nVolume=40\nvolume=90\n", "Playback", "Volume", "40"},
      {"[Playback]\nShuffle=1\n[Playback]\nVolume=50\n", "Playback", "Volume", "100"},
      {"[Playback]\nShuffle=1\n[Playback]\nVolume=50\n", "Playback", "Shuffle", "1"},
      {"[Speech]\nVolume=0\n[Effects]\nVolume=0\n[Playback]\nVolume=30\n", "Speech", "Volume", "0"},
      {"[Speech]\nVolume=0\n[Effects]\nVolume=0\n[Playback]\nVolume=30\n", "Playback", "Volume",
       "30"},
      // Texts: cut to their length, defaults only when missing, quotes dropped.
      {"[Video]\nVideoOutput=\n", "Video", "VideoOutput", ""},
      {"[Video]\n", "Video", "VideoOutput", "gpu"},
      {"[Recording]\n", "Recording", "Template", "%Y-%m-%d_%H-%M-%S"},
      {"[Playback]\nDeviceName=\"  Speakers  \"\n", "Playback", "DeviceName", "  Speakers  "},
      {"[Playback]\nDeviceName='USB'\n", "Playback", "DeviceName", "USB"},
      // A file that is not an INI file at all gives the defaults.
      {"\x01\x02 garbage = [ \n=\n[", "Playback", "Volume", "100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Form(LoadedFrom(c.file), c.section, c.key), c.expected)
        << "[" << c.section << "] " << c.key << " from:\n" << c.file;
  }
}

TEST(SettingsTable, LongTextsAreCutToTheirLengthInCharacters) {
  struct Case {
    const char* section;
    const char* key;
    std::size_t length;
  } cases[] = {
      {"Playback", "DeviceName", 255}, {"Recording", "Path", 511},  {"Recording", "Template", 511},
      {"Downloads", "Path", 511},      {"MIDI", "SoundFont", 259},  {"Video", "VideoOutput", 63},
      {"YouTube", "YtdlpPath", 511},   {"YouTube", "ApiKey", 511},  {"DSPEffects", "ConvolutionIR", 259},
  };
  std::string accented;
  for (int i = 0; i < 600; ++i) accented += "\xC3\xA9";  // é, two bytes each
  for (const Case& c : cases) {
    const Settings loaded = LoadedFrom("[" + std::string(c.section) + "]\n" + c.key + "=" + accented + "\n");
    EXPECT_EQ(Form(loaded, c.section, c.key), accented.substr(0, 2 * c.length)) << c.key;
  }
  EXPECT_EQ(LoadedFrom("[General]\nLanguage=francais\n").language, "francai");
}

TEST(SettingsTable, FractionsAreHeldAsTheProgramUsesThem) {
  const Settings loaded = LoadedFrom(
      "[Playback]\nAllowAmplify=1\nVolume=250\nVolumeStep=5\n"
      "[DSPParams]\nEchoDelay=450\nSpatialMode=1\n");
  EXPECT_FLOAT_EQ(loaded.playback_volume, 2.5f);
  EXPECT_FLOAT_EQ(loaded.volume_step, 0.05f);
  EXPECT_FLOAT_EQ(loaded.effect_values[14], 450.0f);
  EXPECT_FLOAT_EQ(loaded.effect_values[33], 1.0f);
  EXPECT_FLOAT_EQ(loaded.effect_values[15], 40.0f);  // untouched keys keep their defaults
}

// A record with every field away from its default.
Settings EveryFieldChanged() {
  Settings s;
  s.device_name = "Speakers (USB)";
  s.rewind_on_pause_ms = 1500;
  s.allow_amplify = true;
  s.remember_state = true;
  s.remember_pos_minutes = 10;
  s.bring_to_front = false;
  s.minimize_to_tray = false;
  s.load_folder = true;
  s.register_file_types = true;
  s.volume_step = 0.05f;
  s.show_title_in_window = false;
  s.playback_volume = 2.5f;
  s.playback_pitch = -3.5f;
  s.playback_tempo = 25.5f;
  s.playback_rate = 1.25f;
  s.shuffle = true;
  s.auto_advance = false;
  s.repeat_mode = 2;
  s.playlist_follow = false;
  s.check_for_updates = false;
  s.allow_multiple_instances = true;
  s.buffer_size = 1000;
  s.update_period = 50;
  s.tempo_algorithm = 2;
  s.legacy_volume = true;
  s.disable_batch_delay = true;
  s.eq_bass_freq = 80.5f;
  s.eq_mid_freq = 1500.0f;
  s.eq_treble_freq = 9000.0f;
  s.anti_alias_filter = false;
  s.aa_filter_length = 64;
  s.quick_algorithm = true;
  s.sequence_ms = 0;
  s.seek_window_ms = 15;
  s.overlap_ms = 12;
  s.prevent_click = true;
  s.soundtouch_algorithm = 2;
  s.nonlinear_speedup = false;
  s.signalsmith_preset = 1;
  s.tonality_limit = 8000;
  s.reverb_algorithm = 3;
  s.effects_volume = false;
  s.effects_pitch = true;
  s.effects_tempo = true;
  s.effects_rate = true;
  s.rate_step_mode = 1;
  s.current_effect = 2;
  s.dsp_reverb = true;
  s.dsp_echo = true;
  s.dsp_eq = true;
  s.dsp_compressor = true;
  s.dsp_stereo_width = true;
  s.dsp_center_cancel = true;
  s.dsp_convolution = true;
  s.dsp_spatial_audio = true;
  s.convolution_ir = "/home/me/IR/hall.wav";
  // Every parameter a quarter of the way through its range, which is never its default.
  for (const auto& row : EffectSettingsTable()) {
    if (const auto* slot = std::get_if<FloatSlot<Settings>>(&row.field)) {
      const SettingLimits& limits = row.rule.limits;
      s.effect_values[slot->index] = float(limits.min + (limits.max - limits.min) / 4);
    }
  }
  s.effect_values[8] = 0.125f;
  s.seek_1s = true;
  s.seek_5s = false;
  s.seek_10s = true;
  s.seek_30s = true;
  s.seek_1m = true;
  s.seek_5m = true;
  s.seek_10m = true;
  s.seek_30m = true;
  s.seek_1h = true;
  s.seek_1t = true;
  s.seek_5t = true;
  s.seek_10t = true;
  s.chapter_seek = false;
  s.current_seek = 8;
  s.track_change = true;
  s.speech_volume = false;
  s.speech_effect = false;
  s.yt_hybrid = false;
  s.recording_path = "/home/me/Recordings";
  s.recording_template = "rec %H-%M";
  s.recording_format = 3;
  s.recording_bitrate = 320;
  s.downloads_path = "/home/me/Podcasts";
  s.organize_by_feed = true;
  s.sound_font = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
  s.max_voices = 256;
  s.sinc_interp = true;
  s.hardware_decoding = false;
  s.video_output = "x11";
  s.ytdlp_path = "/opt/yt-dlp";
  s.api_key = "AIza-key";
  s.video_mode = true;
  s.clear_cache_on_exit = true;
  s.cache_limit_mb = 500;
  return s;
}

TEST(SettingsTable, EveryRowSavesAndLoadsBack) {
  SetLanguage("fr");
  const Settings changed = EveryFieldChanged();
  const Settings fresh;
  IniDocument document = IniDocument::Parse("; mine\n[Playback]\nUnknown=7\n[Mine]\nKey=x\n");
  ASSERT_TRUE(SaveSettingRows(document, SettingsTable(), changed));
  ASSERT_TRUE(SaveSettingRows(document, EffectSettingsTable(), changed));

  const Settings reloaded = LoadedFrom(document.Serialize());
  for (const auto table : {SettingsTable(), EffectSettingsTable()}) {
    for (const auto& row : table) {
      const std::string form = WrittenForm(row, changed);
      EXPECT_EQ(WrittenForm(row, reloaded), form) << row.section << "/" << row.key;
      if (row.key != "Language") {
        EXPECT_NE(form, WrittenForm(row, fresh)) << row.section << "/" << row.key << " unchanged";
      }
    }
  }
  EXPECT_EQ(reloaded.language, "fr");
  EXPECT_FLOAT_EQ(reloaded.playback_volume, 2.5f);
  EXPECT_FLOAT_EQ(reloaded.effect_values[8], 0.125f);
  EXPECT_EQ(document.Find("Playback", "Unknown"), "7");
  EXPECT_EQ(document.Find("Mine", "Key"), "x");
  EXPECT_EQ(document.Serialize().rfind("; mine\n[Playback]\nUnknown=7\n", 0), 0u);
  SetLanguage("en");
}

TEST(SettingsTable, NumbersAreWrittenWithAPointUnderAFrenchLocale) {
  const Settings changed = EveryFieldChanged();
  test::FrenchLocale french;
  if (!french.active()) GTEST_SKIP() << "fr_FR.UTF-8 is neither installed nor buildable here";

  IniDocument document;
  ASSERT_TRUE(SaveSettingRows(document, SettingsTable(), changed));
  ASSERT_TRUE(SaveSettingRows(document, EffectSettingsTable(), changed));
  EXPECT_EQ(document.Find("Playback", "Pitch"), "-3.5");
  EXPECT_EQ(document.Find("Playback", "Tempo"), "25.5");
  EXPECT_EQ(document.Find("Playback", "Rate"), "1.25");
  EXPECT_EQ(document.Find("Playback", "VolumeStep"), "5");
  EXPECT_EQ(document.Find("Advanced", "EQBassFreq"), "80.5");
  EXPECT_EQ(document.Find("DSPParams", "DX8ReverbHFRatio"), "0.125");
  EXPECT_EQ(document.Find("DSPParams", "EchoDelay"), "507.50");
  EXPECT_EQ(document.Find("DSPParams", "EQPreamp"), "-11.25");
  for (const auto& row : EffectSettingsTable()) {
    if (row.section != "DSPParams") continue;
    EXPECT_EQ(document.Find(row.section, row.key)->find(','), std::string::npos) << row.key;
  }

  const Settings reloaded = LoadedFrom(
      "[Playback]\nPitch=-3.5\nRate=1.25\n[Advanced]\nEQMidFreq=1500.75\n"
      "[DSPParams]\nI3DL2DecayTime=2.75\n");
  EXPECT_FLOAT_EQ(reloaded.playback_pitch, -3.5f);
  EXPECT_FLOAT_EQ(reloaded.playback_rate, 1.25f);
  EXPECT_FLOAT_EQ(reloaded.eq_mid_freq, 1500.75f);
  EXPECT_FLOAT_EQ(reloaded.effect_values[11], 2.75f);
}

}  // namespace
}  // namespace kestrel
