#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "i18n/translate.h"
#include "storage/ini_document.h"
#include "storage/ini_file.h"
#include "storage/settings.h"
#include "support/temp_folder.h"

namespace kestrel::test {

// Sets an environment variable for the test's duration, putting the old value back after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A settings file of its own in a temporary KESTREL_HOME, a fresh store (as in a new process),
// English as the system language, and no yt-dlp anywhere unless the test puts one there.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSettingsStoreForTesting();
    TheSettings() = Settings{};
    SetLanguage("en");
  }
  void TearDown() override { ResetSettingsStoreForTesting(); }

  std::filesystem::path Write(const std::string& content) {
    return folder_.Write("Kestrel.ini", content);
  }
  std::string Saved() { return ReadWholeFile(folder_.path() / "Kestrel.ini"); }
  IniDocument SavedDocument() { return ReadIniFile(folder_.path() / "Kestrel.ini"); }

  TempFolder folder_;
  ScopedEnv home_{"KESTREL_HOME", folder_.path().c_str()};
  ScopedEnv data_{"XDG_DATA_HOME", (folder_.path() / "data").c_str()};
  ScopedEnv search_path_{"PATH", (folder_.path() / "bin").c_str()};
  // The system language comes from these; English unless a test says otherwise.
  ScopedEnv lc_all_{"LC_ALL", "C"};
  ScopedEnv lc_messages_{"LC_MESSAGES", nullptr};
  ScopedEnv lang_{"LANG", nullptr};
};

}  // namespace kestrel::test
