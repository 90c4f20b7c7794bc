#include "storage/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "i18n/translate.h"
#include "storage/file_io.h"
#include "storage/ini_file.h"
#include "storage/settings_path.h"
#include "settings_fixture.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScopedEnv;
using test::TempFolder;

// ---- Where the file lives.

TEST(SettingsPlacement, ChoosesByHomeMarkerAndWritableFolder) {
  TempFolder root;
  ScopedEnv config("XDG_CONFIG_HOME", (root.path() / "config").c_str());
  const fs::path installed_config = root.path() / "config" / "Kestrel" / "Kestrel.ini";

  const fs::path marked_by_file = root.path() / "marked-file";
  root.Write("marked-file/installed.txt", "");
  const fs::path marked_by_folder = root.path() / "marked-folder";
  fs::create_directories(marked_by_folder / "installed.txt");
  const fs::path portable = root.path() / "portable";
  fs::create_directories(portable);
  const fs::path home = root.path() / "my home" / "nested";

  struct Case {
    const char* what;
    std::string kestrel_home;
    fs::path executable_dir;
    fs::path expected;
  } cases[] = {
      {"KESTREL_HOME wins over the marker", home.string(), marked_by_file, home / "Kestrel.ini"},
      {"KESTREL_HOME wins when portable", home.string(), portable, home / "Kestrel.ini"},
      {"installed.txt file", "", marked_by_file, installed_config},
      {"installed.txt folder", "", marked_by_folder, installed_config},
      {"portable", "", portable, portable / "Kestrel.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseSettingsPath(c.kestrel_home, c.executable_dir), c.expected) << c.what;
    EXPECT_TRUE(fs::is_directory(c.expected.parent_path())) << c.what;
  }
  EXPECT_TRUE(IsInstalledCopyAt(marked_by_file));
  EXPECT_TRUE(IsInstalledCopyAt(marked_by_folder));
  EXPECT_FALSE(IsInstalledCopyAt(portable));
}

TEST(SettingsPlacement, AReadOnlyProgramFolderIsAnInstalledCopy) {
  TempFolder root;
  ScopedEnv config("XDG_CONFIG_HOME", (root.path() / "config").c_str());
  const fs::path program = root.path() / "usr-bin";
  fs::create_directories(program);
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
  const bool writable_anyway = IsFolderWritable(program);
  const bool installed = IsInstalledCopyAt(program);
  const fs::path chosen = ChooseSettingsPath("", program);
  fs::permissions(program, fs::perms::owner_all);
  if (writable_anyway) GTEST_SKIP() << "running as root: a read-only folder is still writable";
  EXPECT_TRUE(installed);
  EXPECT_EQ(chosen, root.path() / "config" / "Kestrel" / "Kestrel.ini");
}

TEST(SettingsPlacement, ThePathIsResolvedOncePerProcess) {
  TempFolder first, second;
  ScopedEnv home("KESTREL_HOME", first.path().c_str());
  ResetSettingsPathForTesting();
  EXPECT_EQ(SettingsFilePath(), first.path() / "Kestrel.ini");
  setenv("KESTREL_HOME", second.path().c_str(), 1);
  EXPECT_EQ(SettingsFilePath(), first.path() / "Kestrel.ini");
  ResetSettingsPathForTesting();
  EXPECT_EQ(SettingsFilePath(), second.path() / "Kestrel.ini");
  ResetSettingsPathForTesting();
}

// ---- Loading and saving the real table.

using SettingsFile = test::SettingsFileTest;

TEST_F(SettingsFile, AMissingFileGivesTheDefaults) {
  TheSettings().bring_to_front = false;
  TheSettings().shuffle = true;
  LoadSettings();
  const Settings& s = TheSettings();
  EXPECT_EQ(s.language, "");
  EXPECT_TRUE(s.bring_to_front);
  EXPECT_TRUE(s.minimize_to_tray);
  EXPECT_FALSE(s.load_folder);
  EXPECT_FALSE(s.register_file_types);
  EXPECT_TRUE(s.show_title_in_window);
  EXPECT_FALSE(s.shuffle);
  EXPECT_TRUE(s.check_for_updates);
  EXPECT_FALSE(s.allow_multiple_instances);
  EXPECT_FALSE(s.disable_batch_delay);
  EXPECT_EQ(LanguageCode(), "en");
}

TEST_F(SettingsFile, EveryKeyIsReadFromItsSection) {
  Write(
      "[general]\nlanguage=fr\n"
      "[PLAYBACK]\nBringToFront=0\nMinimizeToTray=0\nLoadFolder=1\nRegisterFileTypes=1\n"
      "ShowTitleInWindow=0\nShuffle=2\nCheckForUpdates=0\nAllowMultipleInstances=1\n"
      "[Advanced]\nDisableBatchDelay=1\n"
      "[Other]\nShuffle=0\n");
  LoadSettings();
  const Settings& s = TheSettings();
  EXPECT_EQ(s.language, "fr");
  EXPECT_FALSE(s.bring_to_front);
  EXPECT_FALSE(s.minimize_to_tray);
  EXPECT_TRUE(s.load_folder);
  EXPECT_TRUE(s.register_file_types);
  EXPECT_FALSE(s.show_title_in_window);
  EXPECT_TRUE(s.shuffle);
  EXPECT_FALSE(s.check_for_updates);
  EXPECT_TRUE(s.allow_multiple_instances);
  EXPECT_TRUE(s.disable_batch_delay);
  EXPECT_EQ(LanguageCode(), "fr");
}

TEST_F(SettingsFile, SavingWritesEveryKeyAndKeepsTheRest) {
  Write("; my settings\n[Hotkeys]\nEnabled=1\nHotkey0=3,112,5\n\n[Playback]\nVolume=80\n");
  LoadSettings();
  TheSettings().shuffle = true;
  TheSettings().bring_to_front = false;
  ASSERT_TRUE(SaveSettings());
  // The foreign lines stay first and untouched, the known key keeps its line, and the other
  // [Playback] keys follow it in table order; new sections come after, [General] first.
  const std::string saved = Saved();
  EXPECT_EQ(saved.rfind("; my settings\n[Hotkeys]\nEnabled=1\nHotkey0=3,112,5\n\n"
                        "[Playback]\nVolume=80\nDeviceName=\nRewindOnPauseMs=0\n"
                        "AllowAmplify=0\nRememberState=0\nRememberPosMinutes=0\nBringToFront=0\n"
                        "MinimizeToTray=1\nLoadFolder=0\nRegisterFileTypes=0\nVolumeStep=2\n"
                        "ShowTitleInWindow=1\nPitch=0.0\nTempo=0.0\nRate=1.00\nShuffle=1\n",
                        0),
            0u)
      << saved;
  EXPECT_NE(saved.find("AllowMultipleInstances=0\n\n[General]\nLanguage=en\n\n[Advanced]\n"),
            std::string::npos)
      << saved;
  EXPECT_NE(saved.find("[Advanced]\nBufferSize=500\nUpdatePeriod=100\nTempoAlgorithm=0\n"
                       "LegacyVolume=0\nDisableBatchDelay=0\n"),
            std::string::npos)
      << saved;
}

TEST_F(SettingsFile, TheLanguageComesFromTheFileOrTheSystemAndIsSavedAsActive) {
  struct Case {
    const char* file_language;
    const char* system_locale;
    const char* active;
  } cases[] = {
      {"fr", "C", "fr"},           {"", "fr_FR.UTF-8", "fr"}, {"", "de_DE.UTF-8", "en"},
      {"en", "fr_CA.UTF-8", "en"}, {"\"fr\"", "C", "fr"},
  };
  for (const Case& c : cases) {
    ScopedEnv locale("LC_ALL", c.system_locale);
    Write(std::string("[General]\nLanguage=") + c.file_language + "\n");
    SetLanguage("en");
    LoadSettings();
    EXPECT_EQ(LanguageCode(), c.active) << c.file_language << " / " << c.system_locale;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadIniFile(SettingsFilePath()).Find("General", "Language"), c.active);
  }
}

TEST_F(SettingsFile, HandEditedValuesAreSavedInTheirNormalForm) {
  Write("[Playback]\nShuffle=  7  \nLoadFolder=yes\n");
  LoadSettings();
  ASSERT_TRUE(SaveSettings());
  const IniDocument saved = ReadIniFile(SettingsFilePath());
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "1");
  EXPECT_EQ(saved.Find("Playback", "LoadFolder"), "0");
}

TEST_F(SettingsFile, TheEarlyReadOfAllowMultipleInstances) {
  EXPECT_FALSE(ReadAllowMultipleInstances());  // no file
  struct Case {
    const char* file;
    bool expected;
  } cases[] = {
      {"[Playback]\nAllowMultipleInstances=1\n", true},
      {"[playback]\n  allowmultipleinstances = 2 \n", true},
      {"[Playback]\nAllowMultipleInstances=0\n", false},
      {"[Playback]\nAllowMultipleInstances=on\n", false},
      {"[Advanced]\nAllowMultipleInstances=1\n", false},
  };
  for (const Case& c : cases) {
    Write(c.file);
    EXPECT_EQ(ReadAllowMultipleInstances(), c.expected) << c.file;
  }
  EXPECT_FALSE(TheSettings().allow_multiple_instances);  // the full load comes later
}

TEST_F(SettingsFile, TwoRunningCopiesKeepEachOthersChanges) {
  Write("[Playback]\nShuffle=0\nLoadFolder=0\n");
  LoadSettings();  // this copy

  // Meanwhile another copy loads, turns LoadFolder on, saves, and writes a section of its own.
  ASSERT_TRUE(UpdateIniFile(SettingsFilePath(), [](IniDocument& d) {
    d.Set("Playback", "LoadFolder", "1");
    d.Set("Hotkeys", "Count", "1");
  }));

  TheSettings().shuffle = true;
  ASSERT_TRUE(SaveSettings());
  IniDocument saved = ReadIniFile(SettingsFilePath());
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "1");
  EXPECT_EQ(saved.Find("Playback", "LoadFolder"), "1");
  EXPECT_EQ(saved.Find("Hotkeys", "Count"), "1");

  // The other copy turns Shuffle back off; saving here again (at exit) leaves that alone, while
  // a key changed here since is written.
  ASSERT_TRUE(
      UpdateIniFile(SettingsFilePath(), [](IniDocument& d) { d.Set("Playback", "Shuffle", "0"); }));
  TheSettings().register_file_types = true;
  ASSERT_TRUE(SaveSettings());
  saved = ReadIniFile(SettingsFilePath());
  EXPECT_EQ(saved.Find("Playback", "Shuffle"), "0");
  EXPECT_EQ(saved.Find("Playback", "LoadFolder"), "1");
  EXPECT_EQ(saved.Find("Playback", "RegisterFileTypes"), "1");
}

TEST_F(SettingsFile, AFailedSaveIsReported) {
  fs::create_directory(folder_.path() / "Kestrel.ini");  // the file cannot be read or replaced
  LoadSettings();
  EXPECT_FALSE(SaveSettings());
  EXPECT_TRUE(fs::is_directory(folder_.path() / "Kestrel.ini"));
}

}  // namespace
}  // namespace kestrel
