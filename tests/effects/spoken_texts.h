#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "speech/screen_reader_bridge.h"
#include "speech/screen_reader_driver.h"
#include "support/noting_reader.h"
#include "speech/speech.h"

// What the player says, written down: a screen reader that notes each utterance and whether it
// interrupted, with the speech queue enabled for the life of the object. The queue is drained as
// soon as something is queued, as the main window's next turn would between two key presses, so
// each key's text is an utterance of its own.
namespace kestrel::test {

struct Utterance {
  std::string text;
  bool interrupt = false;
  bool operator==(const Utterance&) const = default;
};

class SpokenTexts {
 public:
  SpokenTexts() {
    SetUiMessageSink([](PostedMessage message) {
      if (message.message == kMsgDrainSpeech) DrainSpeechQueue();
    });
    std::vector<std::unique_ptr<ScreenReaderDriver>> readers;
    readers.push_back(std::make_unique<NotingReader>([this](std::string_view text, bool interrupt) {
      said_.push_back({std::string(text), interrupt});
    }));
    SetScreenReaderDriversForTesting(std::move(readers));
    EnableSpeechQueue();
  }
  ~SpokenTexts() {
    ShutdownSpeech();
    ResetScreenReaderDrivers();
    ClearUiMessageSink();
  }
  SpokenTexts(const SpokenTexts&) = delete;
  SpokenTexts& operator=(const SpokenTexts&) = delete;

  // The utterances since the last call.
  std::vector<Utterance> Take() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }
  // The texts since the last call.
  std::vector<std::string> TakeTexts() {
    std::vector<std::string> texts;
    for (Utterance& utterance : Take()) texts.push_back(std::move(utterance.text));
    return texts;
  }

 private:
  std::vector<Utterance> said_;
};

}  // namespace kestrel::test
