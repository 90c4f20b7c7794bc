#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/audio.h"
#include "base/post_to_ui.h"
#include "engine/audio_output.h"
#include "i18n/translate.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "support/noting_reader.h"
#include "support/temp_folder.h"
#include "ui/message_box.h"

namespace kestrel::test {

// Sets an environment variable for the life of the object, restoring the old value after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    had_old_ = std::getenv(name) != nullptr;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (had_old_) {
      setenv(name_.c_str(), old_.c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::string old_;
  bool had_old_ = false;
};

// Output stopped, default settings in a settings file of its own, English texts, and what the
// player says or shows written down: message boxes in `boxes`, speech in Spoken().
class AudioOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllTranslations();
    SetLanguage("en");
    ResetSettingsStoreForTesting();
    TheSettings() = Settings{};
    ResetCurrentDeviceIndex();
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes.push_back(request);
      return MessageResult::Ok;
    });
    SetUiMessageSink([](PostedMessage) {});
    speech_.emplace([this](std::string_view text, bool) { said_.emplace_back(text); });
  }

  void TearDown() override {
    FreeAudioOutput();
    SetOutputStarterForTesting(nullptr);
    speech_.reset();
    ClearUiMessageSink();
    SetMessageBoxHandlerForTesting(nullptr);
    ResetSettingsStoreForTesting();
  }

  // What was spoken since the last call.
  std::vector<std::string> Spoken() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  TempFolder home_;
  ScopedEnv kestrel_home_{"KESTREL_HOME", home_.path().c_str()};
  std::vector<MessageBoxRequest> boxes;

 private:
  std::vector<std::string> said_;
  std::optional<NotedSpeech> speech_;
};

}  // namespace kestrel::test
