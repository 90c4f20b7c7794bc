#pragma once

#include <memory>
#include <string>
#include <vector>

#include "speech/screen_reader_driver.h"

namespace kestrel::test {

// What a fake reader does and what was asked of it. Shared between the test and the driver that
// the bridge owns.
struct FakeReaderState {
  bool running = true;
  int is_running_calls = 0;
  int unloads = 0;
};

// A screen reader that records every call into one shared journal, as "<name> said <text>
// [interrupt]", "<name> silenced", "<name> unloaded". Output and Silence fail while it is not
// running, as a closed reader's would.
class FakeScreenReader : public ScreenReaderDriver {
 public:
  FakeScreenReader(std::string name, std::shared_ptr<FakeReaderState> state,
                   std::shared_ptr<std::vector<std::string>> journal)
      : ScreenReaderDriver(std::move(name)),
        state_(std::move(state)),
        journal_(std::move(journal)) {}

  bool IsRunning() override {
    ++state_->is_running_calls;
    return state_->running;
  }
  bool Output(std::string_view text, bool interrupt) override {
    if (!state_->running) return false;
    journal_->push_back(name() + " said " + std::string(text) + (interrupt ? " [interrupt]" : ""));
    return true;
  }
  bool Silence() override {
    if (!state_->running) return false;
    journal_->push_back(name() + " silenced");
    return true;
  }
  void Unload() override {
    ++state_->unloads;
    journal_->push_back(name() + " unloaded");
  }

 private:
  std::shared_ptr<FakeReaderState> state_;
  std::shared_ptr<std::vector<std::string>> journal_;
};

}  // namespace kestrel::test
