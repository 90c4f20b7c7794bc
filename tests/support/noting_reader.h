#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "speech/screen_reader_driver.h"

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

}  // namespace kestrel::test
