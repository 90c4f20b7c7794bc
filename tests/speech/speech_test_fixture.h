#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/post_to_ui.h"
#include "fake_screen_reader.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech.h"

namespace kestrel::test {

// A main window that only counts the messages posted to it, fake readers in the bridge and a
// clock the test moves by hand. The queue starts disabled, as at process start.
class SpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ShutdownSpeech();
    SetSpeechClockForTesting([this] { return now_.load(); });
    SetUiMessageSink([this](PostedMessage message) {
      std::lock_guard lock(posted_mutex_);
      posted_.push_back(message.message);
    });
  }

  void TearDown() override {
    ShutdownSpeech();
    ClearUiMessageSink();
    ResetScreenReaderDrivers();
    SetSpeechClockForTesting(nullptr);
  }

  // Installs readers with these names, all running, in this detection order.
  void InstallReaders(const std::vector<std::string>& names) {
    std::vector<std::unique_ptr<ScreenReaderDriver>> drivers;
    readers_.clear();
    for (const std::string& name : names) {
      auto state = std::make_shared<FakeReaderState>();
      readers_.push_back(state);
      drivers.push_back(std::make_unique<FakeScreenReader>(name, state, journal_));
    }
    SetScreenReaderDriversForTesting(std::move(drivers));
    journal_->clear();
  }

  std::vector<int> Posted() {
    std::lock_guard lock(posted_mutex_);
    return posted_;
  }

  std::vector<std::string> TakeJournal() {
    std::vector<std::string> entries = *journal_;
    journal_->clear();
    return entries;
  }

  FakeReaderState& Reader(std::size_t index) { return *readers_.at(index); }

  std::atomic<std::uint32_t> now_{0};
  std::shared_ptr<std::vector<std::string>> journal_ = std::make_shared<std::vector<std::string>>();
  std::vector<std::shared_ptr<FakeReaderState>> readers_;
  std::mutex posted_mutex_;
  std::vector<int> posted_;
};

}  // namespace kestrel::test
