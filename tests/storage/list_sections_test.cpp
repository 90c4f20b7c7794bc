// The list-like sections of the settings file: recent files, hotkeys, presets and the session.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "french_locale.h"
#include "settings_fixture.h"
#include "storage/hotkey_store.h"
#include "storage/numbered_keys.h"
#include "storage/preset_store.h"
#include "storage/recent_files.h"
#include "storage/session_store.h"

namespace kestrel {
namespace {

using Strings = std::vector<std::string>;
using ListFile = test::SettingsFileTest;

// ---- Numbered keys.

TEST(NumberedKeys, OnlyTheSpellingThatPrintfGivesCounts) {
  struct Case {
    const char* key;
    std::optional<int> index;
  } cases[] = {
      {"File0", 0},          {"File9", 9},           {"file12", 12},         {"FILE3", 3},
      {"File", std::nullopt}, {"File03", std::nullopt}, {"File-1", std::nullopt},
      {"File1x", std::nullopt}, {"Files1", std::nullopt}, {"File2147483647", 2147483647},
      {"File2147483648", std::nullopt}, {"File99999999999", std::nullopt}, {"Fil1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberedKeyIndex(c.key, "File"), c.index) << c.key;
}

TEST(NumberedKeys, AHugeCountOnlyVisitsTheKeysPresent) {
  const IniDocument document =
      IniDocument::Parse("[L]\nCount=2147483647\nItem5=five\nItem0=zero\nItem2147483646=last\n");
  const auto started = std::chrono::steady_clock::now();
  const auto values = ReadNumberedValues(document, "L", "Item", 2147483647, 10);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].value, "zero");
  EXPECT_EQ(values[1].value, "five");
  EXPECT_EQ(values[2].index, 2147483646);
}

// ---- Recent files.

TEST(RecentFiles, WritingKeepsTenWritableEntriesNumberedWithoutGaps) {
  Strings files;
  for (int i = 0; i < 12; ++i) files.push_back("/m/" + std::to_string(i) + ".mp3");
  files[1] = "/m/evil\nFile5=/etc/passwd";
  IniDocument document = IniDocument::Parse("[RecentFiles]\nFile0=/old.mp3\nFile7=/old7.mp3\n");
  EXPECT_FALSE(WriteRecentFiles(document, files));
  const Strings read = ReadRecentFiles(document);
  Strings expected = {"/m/0.mp3"};
  for (int i = 2; i <= 10; ++i) expected.push_back("/m/" + std::to_string(i) + ".mp3");
  EXPECT_EQ(read, expected);
  EXPECT_FALSE(document.Find("RecentFiles", "File10"));

  EXPECT_TRUE(WriteRecentFiles(document, {}));
  EXPECT_TRUE(ReadRecentFiles(document).empty());
  EXPECT_FALSE(document.Find("RecentFiles", "File0"));
}

TEST(RecentFiles, LongPathsAreCutWhenRead) {
  const std::string long_path = "/" + std::string(300, 'a');
  IniDocument document;
  ASSERT_TRUE(WriteRecentFiles(document, {long_path}));
  EXPECT_EQ(ReadRecentFiles(document), Strings{long_path.substr(0, 259)});
}

// ---- Hotkeys.

TEST(Hotkeys, ValuesParseLikeTheirFormat) {
  struct Case {
    const char* value;
    bool valid;
    std::uint32_t modifiers = 0;
    std::uint32_t key = 0;
    int action = 0;
  } cases[] = {
      {"6,80,0", true, 6, 80, 0},
      {"0,80,0", true, 0, 80, 0},  // no modifier: loads, though the dialog would refuse it
      {"2,80,38", true, 2, 80, 38},
      {"2,80,39", false},
      {"2,80,-1", false},
      {" 6, 80, 0", true, 6, 80, 0},
      {"+6,+80,+5", true, 6, 80, 5},
      {"6,80,0 trailing", true, 6, 80, 0},
      {"6,80,7x", true, 6, 80, 7},
      {"6 ,80,0", false},
      {"6,80", false},
      {"6,80,", false},
      {"a,b,c", false},
      {"", false},
      {"-1,80,0", false},
      {"6,-80,0", false},
      {"4294967295,4294967295,1", true, 4294967295u, 4294967295u, 1},
      {"4294967296,80,1", false},
      {"99999999999999999999999,80,1", false},
  };
  for (const Case& c : cases) {
    const auto entry = ParseHotkeyValue(c.value);
    ASSERT_EQ(entry.has_value(), c.valid) << c.value;
    if (!entry) continue;
    EXPECT_EQ(entry->modifiers, c.modifiers) << c.value;
    EXPECT_EQ(entry->key, c.key) << c.value;
    EXPECT_EQ(entry->action, c.action) << c.value;
    EXPECT_EQ(ParseHotkeyValue(FormatHotkeyValue(*entry)), entry) << c.value;
  }
}

TEST(Hotkeys, ReadingSkipsMalformedEntriesAndKeysBeyondTheCount) {
  const StoredHotkeys stored = ReadHotkeys(IniDocument::Parse(
      "[hotkeys]\nenabled=0\ncount=5\nHotkey0=6,80,0\nHotkey1=garbage\nHotkey2=2,80,39\n"
      "Hotkey3=\"" + std::string(62, ' ') + "1,2,3\"\nHotkey4=3,112,5\nHotkey5=1,65,1\n"));
  EXPECT_FALSE(stored.enabled);
  ASSERT_EQ(stored.entries.size(), 2u);
  EXPECT_EQ(stored.entries[0].key, 80u);
  EXPECT_EQ(stored.entries[1].action, 5);

  const StoredHotkeys defaults = ReadHotkeys(IniDocument());
  EXPECT_TRUE(defaults.enabled);
  EXPECT_TRUE(defaults.entries.empty());
}

TEST_F(ListFile, HotkeysLoadWithFreshIdsAndSaveAtOnce) {
  Write("[Hotkeys]\nEnabled=1\nCount=3\nHotkey0=6,80,0\nHotkey1=1,2\nHotkey2=3,112,5\n");
  LoadHotkeys();
  Settings& s = TheSettings();
  ASSERT_EQ(s.hotkeys.size(), 2u);
  EXPECT_GT(s.hotkeys[0].id, 0);
  EXPECT_EQ(s.hotkeys[1].id, s.hotkeys[0].id + 1);
  EXPECT_EQ(NextHotkeyId(), s.hotkeys[1].id + 1);

  s.hotkeys.erase(s.hotkeys.begin());
  s.hotkeys_enabled = false;
  ASSERT_TRUE(SaveHotkeys());
  const IniDocument saved = SavedDocument();
  EXPECT_EQ(saved.Find("Hotkeys", "Enabled"), "0");
  EXPECT_EQ(saved.Find("Hotkeys", "Count"), "1");
  EXPECT_EQ(saved.Find("Hotkeys", "Hotkey0"), "3,112,5");
  EXPECT_EQ(saved.Find("Hotkeys", "Hotkey2"), "3,112,5");  // beyond Count, left as it was

  const int before = s.hotkeys[0].id;
  LoadHotkeys();
  EXPECT_FALSE(s.hotkeys_enabled);
  ASSERT_EQ(s.hotkeys.size(), 1u);
  EXPECT_EQ(s.hotkeys[0].modifiers, 3u);
  EXPECT_GT(s.hotkeys[0].id, before) << "ids are never reused";
}

// ---- Presets.

TEST(Presets, NamesAreCleanedForTheFile) {
  struct Case {
    std::string typed;
    std::string cleaned;
  } cases[] = {
      {"Talk [slow]", "Talk _slow_"},
      {" \t Talk \t ", "Talk"},
      {"a=b", "a_b"},
      {"two\r\nlines", "two__lines"},
      {"   ", ""},
      {std::string(200, 'x'), std::string(127, 'x')},
      {std::string(130, ' ') + "late", ""},  // cut before trimming, as the edit box holds 127
      {"Lecture rapide \xC3\xA9t\xC3\xA9", "Lecture rapide \xC3\xA9t\xC3\xA9"},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanPresetName(c.typed), c.cleaned) << c.typed;
}

TEST(Presets, TheListSkipsEmptyNamesAndKeysBeyondTheCount) {
  IniDocument document = IniDocument::Parse(
      "[Presets]\nCount=4\nName0=Talk\nName1=\nName2=Music\nName3=" + std::string(130, 'n') +
      "\nName4=Beyond\n");
  EXPECT_EQ(ReadPresetNames(document), (Strings{"Talk", "Music", std::string(127, 'n')}));

  WritePresetNames(document, {"Music", "bad\nname", "Talk"});
  EXPECT_EQ(document.Find("Presets", "Count"), "2");
  EXPECT_EQ(ReadPresetNames(document), (Strings{"Music", "Talk"}));
  EXPECT_FALSE(document.Find("Presets", "Name2"));
  EXPECT_FALSE(document.Find("Presets", "Name3"));
  EXPECT_EQ(document.Find("Presets", "Name4"), "Beyond") << "only keys below the old Count go";
}

TEST(Presets, AMissingValueTakesTheCurrentOne) {
  EffectPreset current = CurrentEffectPreset(Settings{});
  current.stream_enabled = {true, true, false, false};
  current.dsp_enabled = {true, false, true, false, false, false, false, false};
  current.params[14] = 333.0f;
  current.params[15] = 44.0f;

  EXPECT_FALSE(ReadPresetSection(IniDocument::Parse("[Preset_A]\nTempo=5\n"), "A", current))
      << "a preset without Pitch does not exist";
  EXPECT_FALSE(ReadPresetSection(IniDocument::Parse("[Preset_]\nPitch=1\n"), "", current));

  const auto preset = ReadPresetSection(
      IniDocument::Parse("[preset_a]\nPitch=2\nStreamEnabled2=1\nReverbAlgorithm=9\n"
                         "DSPEnabled0=0\nDSPEnabled4=1\nParam14=\nParam15=nan\nParam16=77.5\n"
                         "Param30=1e999\n"),
      "A", current);
  ASSERT_TRUE(preset);
  EXPECT_FLOAT_EQ(preset->pitch, 2.0f);
  EXPECT_FLOAT_EQ(preset->tempo, 0.0f);
  EXPECT_FLOAT_EQ(preset->rate, 1.0f);
  EXPECT_EQ(preset->stream_enabled, (std::array<bool, 4>{true, true, true, false}));
  EXPECT_EQ(preset->reverb_algorithm, 3);
  EXPECT_TRUE(preset->dsp_enabled[0]) << "flag 0 is not read";
  EXPECT_TRUE(preset->dsp_enabled[2]);
  EXPECT_TRUE(preset->dsp_enabled[4]);
  EXPECT_FLOAT_EQ(preset->params[14], 333.0f);
  EXPECT_FLOAT_EQ(preset->params[15], 44.0f);
  EXPECT_FLOAT_EQ(preset->params[16], 77.5f);
  EXPECT_FLOAT_EQ(preset->params[30], current.params[30]);
}

TEST_F(ListFile, APresetSavesLoadsAndDeletes) {
  Settings& s = TheSettings();
  s.playback_pitch = 2.0f;
  s.playback_tempo = 50.0f;
  s.playback_rate = 1.25f;
  s.playback_volume = 0.3f;
  s.effects_tempo = true;
  s.reverb_algorithm = 3;
  s.dsp_eq = true;
  s.effect_values[18] = -3.0f;
  s.effect_values[23] = 0.01f;
  const EffectPreset saved_state = CurrentEffectPreset(s);

  const std::string name = CleanPresetName("Talk [slow]");
  ASSERT_TRUE(SavePreset(name));
  EXPECT_EQ(ListPresets(), Strings{"Talk _slow_"});
  const IniDocument file = SavedDocument();
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "Pitch"), "2.0000");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "Rate"), "1.2500");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "Param2"), "50.000000");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "Param23"), "0.010000");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "StreamEnabled2"), "1");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "DSPEnabled2"), "1");
  EXPECT_EQ(file.Find("Preset_Talk _slow_", "ReverbAlgorithm"), "3");
  EXPECT_FALSE(file.Find("Preset_Talk _slow_", "Param0")) << "the volume is never saved";

  s = Settings{};
  const auto loaded = ReadPreset(name);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->pitch, saved_state.pitch);
  EXPECT_EQ(loaded->stream_enabled, saved_state.stream_enabled);
  EXPECT_EQ(loaded->reverb_algorithm, 3);
  EXPECT_TRUE(loaded->dsp_enabled[2]);
  for (int id = 1; id < kEffectParameterCount; ++id) {
    EXPECT_FLOAT_EQ(loaded->params[id], saved_state.params[id]) << id;
  }

  EXPECT_TRUE(DeletePreset(name));
  EXPECT_TRUE(ListPresets().empty());
  EXPECT_FALSE(SavedDocument().HasSection("Preset_Talk _slow_"));
  EXPECT_FALSE(ReadPreset(name));
  EXPECT_FALSE(DeletePreset(name)) << "no longer listed";
}

TEST_F(ListFile, SavingOverAPresetKeepsTheListOrder) {
  ASSERT_TRUE(SavePreset("Music"));
  ASSERT_TRUE(SavePreset("Talk"));
  TheSettings().playback_pitch = -4.0f;
  ASSERT_TRUE(SavePreset("Music"));
  EXPECT_EQ(ListPresets(), (Strings{"Music", "Talk"}));
  EXPECT_FLOAT_EQ(ReadPreset("Music")->pitch, -4.0f);
  EXPECT_FLOAT_EQ(ReadPreset("Talk")->pitch, 0.0f);

  // The file's section names ignore case, so "talk" is the same preset as "Talk".
  TheSettings().playback_pitch = 3.0f;
  ASSERT_TRUE(SavePreset("talk"));
  EXPECT_EQ(ListPresets(), (Strings{"Music", "talk"}));
  EXPECT_FLOAT_EQ(ReadPreset("Talk")->pitch, 3.0f);
  EXPECT_TRUE(DeletePreset("TALK"));
  EXPECT_EQ(ListPresets(), Strings{"Music"});

  EXPECT_FALSE(SavePreset(""));
  EXPECT_FALSE(SavePreset("bad\nname"));
  EXPECT_EQ(ListPresets(), Strings{"Music"});
}

TEST_F(ListFile, DeletingAnUnlistedPresetStillRemovesItsSection) {
  Write("[Preset_Ghost]\nPitch=1\n[Presets]\nCount=0\n");
  EXPECT_FALSE(DeletePreset("Ghost"));
  EXPECT_FALSE(SavedDocument().HasSection("Preset_Ghost"));
}

TEST(Presets, NumbersUseAPointUnderAFrenchLocale) {
  test::FrenchLocale french;
  if (!french.active()) GTEST_SKIP() << "fr_FR.UTF-8 is neither installed nor buildable here";
  EffectPreset preset;
  preset.pitch = -1.5f;
  preset.params[11] = 2.25f;
  IniDocument document;
  ASSERT_TRUE(WritePresetSection(document, "P", preset));
  EXPECT_EQ(document.Find("Preset_P", "Pitch"), "-1.5000");
  EXPECT_EQ(document.Find("Preset_P", "Param11"), "2.250000");
  EXPECT_FLOAT_EQ(ReadPresetSection(document, "P", EffectPreset{})->params[11], 2.25f);
}

// ---- The saved session.

TEST_F(ListFile, TheSessionIsSavedAndRestored) {
  Write("[Playlist]\nTrack0=/old/0.mp3\nTrack1=/old/1.mp3\nTrack2=/old/2.mp3\nTrack3=/old/3.mp3\n");
  ASSERT_TRUE(SaveSessionState({"/m/a.mp3", "/m/b.mp3", "http://radio/stream"}, 1, 125.5));
  const IniDocument file = SavedDocument();
  EXPECT_EQ(file.Find("State", "TrackCount"), "3");
  EXPECT_EQ(file.Find("State", "CurrentTrack"), "1");
  EXPECT_EQ(file.Find("State", "LastFile"), "/m/b.mp3");
  EXPECT_EQ(file.Find("State", "LastPosition"), "125.50");
  EXPECT_FALSE(file.Find("Playlist", "Track3")) << "the old playlist is cleared";

  const SessionState state = LoadSessionState();
  EXPECT_EQ(state.tracks, (Strings{"/m/a.mp3", "/m/b.mp3", "http://radio/stream"}));
  EXPECT_EQ(state.current_track, 1);
  EXPECT_EQ(state.last_file, "/m/b.mp3");
  EXPECT_DOUBLE_EQ(state.last_position, 125.5);
}

TEST_F(ListFile, WithoutACurrentItemOrWhenForgottenTheStateIsEmpty) {
  ASSERT_TRUE(SaveSessionState({"/m/a.mp3"}, -1, 99.0));
  IniDocument file = SavedDocument();
  EXPECT_EQ(file.Find("State", "CurrentTrack"), "-1");
  EXPECT_EQ(file.Find("State", "LastFile"), "");
  EXPECT_EQ(file.Find("State", "LastPosition"), "0");
  EXPECT_EQ(file.Find("Playlist", "Track0"), "/m/a.mp3");

  ASSERT_TRUE(ForgetSessionState());
  file = SavedDocument();
  EXPECT_FALSE(file.Find("Playlist", "Track0"));
  EXPECT_EQ(file.Find("State", "TrackCount"), "0");
  EXPECT_EQ(file.Find("State", "CurrentTrack"), "0");
  EXPECT_EQ(file.Find("State", "LastFile"), "");
  EXPECT_EQ(file.Find("State", "LastPosition"), "0");
  const SessionState state = LoadSessionState();
  EXPECT_TRUE(state.tracks.empty());
  EXPECT_EQ(state.last_file, "");
}

TEST_F(ListFile, AnItemThatCannotBeWrittenIsLeftOutAndTheIndexFollows) {
  EXPECT_FALSE(SaveSessionState({"/m/a.mp3", "/m/bad\nname.mp3", "/m/c.mp3"}, 2, 10.0));
  SessionState state = LoadSessionState();
  EXPECT_EQ(state.tracks, (Strings{"/m/a.mp3", "/m/c.mp3"}));
  EXPECT_EQ(state.current_track, 1);
  EXPECT_EQ(state.last_file, "/m/c.mp3");

  EXPECT_FALSE(SaveSessionState({"/m/a.mp3", "/m/bad\nname.mp3"}, 1, 10.0));
  state = LoadSessionState();
  EXPECT_EQ(state.current_track, -1);
  EXPECT_EQ(state.last_file, "");
}

TEST(Session, HandEditedStateIsReadSafely) {
  const SessionState state = ReadSessionState(IniDocument::Parse(
      "[State]\nTrackCount=5\nCurrentTrack=9\nLastFile=/m/x.mp3\nLastPosition=nan\n"
      "[Playlist]\nTrack0=/m/0.mp3\nTrack2=\nTrack3=/m/3.mp3\nTrack5=/m/5.mp3\n"));
  EXPECT_EQ(state.tracks, (Strings{"/m/0.mp3", "/m/3.mp3"}));
  EXPECT_EQ(state.current_track, 9) << "checked against the list by the restorer";
  EXPECT_EQ(state.last_file, "/m/x.mp3");
  EXPECT_EQ(state.last_position, 0.0);

  struct Case {
    const char* value;
    double seconds;
  } positions[] = {{"12.75", 12.75}, {"12,5", 12.0}, {"", 0.0}, {"-inf", 0.0}, {"abc", 0.0}};
  for (const Case& c : positions) {
    const auto read = ReadSessionState(
        IniDocument::Parse(std::string("[State]\nLastPosition=") + c.value + "\n"));
    EXPECT_DOUBLE_EQ(read.last_position, c.seconds) << c.value;
  }
  EXPECT_DOUBLE_EQ(ReadSessionState(IniDocument()).last_position, 0.0);
}

TEST(Session, PositionsUseAPointUnderAFrenchLocale) {
  test::FrenchLocale french;
  if (!french.active()) GTEST_SKIP() << "fr_FR.UTF-8 is neither installed nor buildable here";
  IniDocument document;
  ASSERT_TRUE(WriteSessionState(document, {"/m/a.mp3"}, 0, 125.5));
  EXPECT_EQ(document.Find("State", "LastPosition"), "125.50");
  EXPECT_DOUBLE_EQ(ReadSessionState(document).last_position, 125.5);
}

}  // namespace
}  // namespace kestrel
