#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/audio.h"
#include "audio/support/null_output_fixture.h"
#include "audio/wav_writer.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "engine/display_refresh.h"
#include "engine/open_media.h"
#include "engine/output_fixture.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "playlist/navigation.h"
#include "playlist/playlist.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "ui/message_box.h"
#include "support/noting_reader.h"

namespace kestrel::test {

enum class Heard { kPlaying, kPaused, kStopped };

inline const char* HeardName(Heard heard) {
  switch (heard) {
    case Heard::kPlaying: return "playing";
    case Heard::kPaused: return "paused";
    case Heard::kStopped: return "stopped";
  }
  return "?";
}

// Output on the null device in real time, a settings file of its own, fresh player, playlist and
// settings records, and a main window that writes down what it is sent: the commands the end of a
// track posts, the current-item-changed messages, message boxes and speech.
class NavigationTest : public NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    audio::SetNullDeviceSpeed(1);
    RegisterAllTranslations();
    SetLanguage("en");
    ResetSettingsStoreForTesting();
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{};
    TheSettings() = Settings{};
    SetUiMessageSink([this](PostedMessage message) {
      std::lock_guard lock(mutex_);
      if (message.message == kMsgCurrentItemChanged) ++item_changes_;
      if (message.message == kMsgCommand) {
        commands_.emplace_back(static_cast<int>(message.wparam), message.lparam);
        posted_.notify_all();
      }
    });
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes_.push_back(request);
      return MessageResult::Ok;
    });
    speech_.emplace([this](std::string_view text, bool) { said_.emplace_back(text); });
  }

  void TearDown() override {
    CloseMedia();
    SetItemLeaveHandler(nullptr);
    SetShuffleDrawForTesting(nullptr);
    speech_.reset();
    SetMessageBoxHandlerForTesting(nullptr);
    ClearUiMessageSink();
    ResetSettingsStoreForTesting();
    NullOutputTest::TearDown();
  }

  // A mono 8 kHz sine WAV, small and quick to write.
  std::string Tone(const std::string& name, double seconds, double hz = 440) {
    const std::string path = (temp_.path() / name).string();
    audio::WavWriter writer;
    EXPECT_TRUE(writer.Open(path, 8000, 1));
    std::vector<float> samples(static_cast<std::size_t>(seconds * 8000));
    for (std::size_t i = 0; i < samples.size(); ++i) {
      samples[i] = 0.3f * static_cast<float>(std::sin(2 * M_PI * hz * static_cast<double>(i) / 8000));
    }
    EXPECT_TRUE(writer.Write(samples.data(), static_cast<std::int64_t>(samples.size())));
    EXPECT_TRUE(writer.Close());
    return path;
  }

  // A file no decoder can read.
  std::string Broken(const std::string& name) {
    return temp_.Write(name, "this is not audio, only text pretending to be audio").string();
  }

  // A playlist of `count` tones named 0.wav, 1.wav, ...
  void FillPlaylist(int count, double seconds) {
    ThePlaylist() = Playlist{};
    for (int i = 0; i < count; ++i) {
      ThePlaylist().items.push_back(Tone(std::to_string(i) + ".wav", seconds, 300 + 100 * i));
    }
  }

  static Heard Now() {
    const audio::Handle output = ThePlayerState().output_stream;
    if (output == 0) return Heard::kStopped;
    switch (audio::IsActive(output)) {
      case audio::ActiveState::kPlaying:
      case audio::ActiveState::kStalled:
        return Heard::kPlaying;
      case audio::ActiveState::kPaused:
        return Heard::kPaused;
      case audio::ActiveState::kStopped:
        return Heard::kStopped;
    }
    return Heard::kStopped;
  }

  // The item that is open now, as an index of the playlist; -1 for none.
  static int OpenedIndex() {
    const auto& items = ThePlaylist().items;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == OpenedPath()) return static_cast<int>(i);
    }
    return -1;
  }

  static double Position() { return GetTempoProcessor().GetPositionSeconds(); }

  // Waits for the next command posted to the main window (the end of a track posts Next).
  std::optional<std::pair<int, std::int64_t>> NextPostedCommand(
      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    if (!posted_.wait_for(lock, timeout, [this] { return !commands_.empty(); })) return std::nullopt;
    auto first = commands_.front();
    commands_.erase(commands_.begin());
    return first;
  }

  int ItemChanges() {
    std::lock_guard lock(mutex_);
    return item_changes_;
  }

  // What was spoken since the last call.
  std::vector<std::string> Spoken() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  ScopedEnv home_{"KESTREL_HOME", temp_.path().c_str()};
  std::vector<MessageBoxRequest> boxes_;

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<std::pair<int, std::int64_t>> commands_;
  int item_changes_ = 0;
  std::vector<std::string> said_;
  std::optional<NotedSpeech> speech_;
};

}  // namespace kestrel::test
