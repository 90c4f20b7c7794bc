#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "speech/screen_reader_bridge.h"
#include "speech/screen_reader_driver.h"
#include "speech/speech.h"

namespace kestrel::test {

// A screen reader that hands every utterance, with whether it interrupted, to the test.
class NotingReader : public ScreenReaderDriver {
 public:
  using Note = std::function<void(std::string_view text, bool interrupt)>;
  explicit NotingReader(Note note) : ScreenReaderDriver("noting"), note_(std::move(note)) {}
  bool IsRunning() override { return true; }
  bool Output(std::string_view text, bool interrupt) override {
    note_(text, interrupt);
    return true;
  }
  bool Silence() override { return true; }
  void Unload() override {}

 private:
  Note note_;
};

// The player's speech routed to `note` with the queue enabled, for the life of the object.
class NotedSpeech {
 public:
  explicit NotedSpeech(NotingReader::Note note) {
    std::vector<std::unique_ptr<ScreenReaderDriver>> readers;
    readers.push_back(std::make_unique<NotingReader>(std::move(note)));
    SetScreenReaderDriversForTesting(std::move(readers));
    EnableSpeechQueue();
  }
  ~NotedSpeech() {
    ShutdownSpeech();
    ResetScreenReaderDrivers();
  }
  NotedSpeech(const NotedSpeech&) = delete;
  NotedSpeech& operator=(const NotedSpeech&) = delete;
};

}  // namespace kestrel::test
