#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

struct Entry {
  std::string text;
  bool interrupt = true;
};

struct SpeechQueue {
  std::mutex mutex;
  std::deque<Entry> entries;
};

// Never destroyed: worker threads may still call Speak while the process shuts down, so the lock
// must outlive every one of them.
SpeechQueue& Queue() {
  static auto* queue = new SpeechQueue;
  return *queue;
}

// Read without the lock for the quick drop; written under it, so an entry is never appended
// after shutdown has emptied the queue.
std::atomic<bool> g_enabled{false};

}  // namespace

void Speak(std::string_view text, bool interrupt) {
  if (!g_enabled.load() || !HasUi()) return;
  {
    SpeechQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    if (!g_enabled.load()) return;
    queue.entries.push_back(Entry{std::string(text), interrupt});
  }
  PostToUi(kMsgDrainSpeech);
}

void EnableSpeechQueue() {
  SpeechQueue& queue = Queue();
  std::lock_guard lock(queue.mutex);
  g_enabled.store(true);
}

void DrainSpeechQueue() {
  if (!g_enabled.load()) return;
  std::string joined;
  bool interrupt = false;
  {
    SpeechQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    if (queue.entries.empty()) return;
    // The oldest entry decides whether the whole utterance cuts into current speech.
    interrupt = queue.entries.front().interrupt;
    for (const Entry& entry : queue.entries) {
      // Empty texts add nothing; without this skip they would leave stray ", " in the sentence.
      if (entry.text.empty()) continue;
      if (!joined.empty()) joined += ", ";
      joined += entry.text;
    }
    queue.entries.clear();
  }
  if (joined.empty()) return;
  // The reader is called outside the lock so a slow reader never holds up Speak callers.
  if (interrupt) SilenceSpeech();
  SpeakOutput(joined, interrupt);
}

void ShutdownSpeech() {
  if (g_enabled.load()) SilenceSpeech();
  SpeechQueue& queue = Queue();
  std::lock_guard lock(queue.mutex);
  g_enabled.store(false);
  queue.entries.clear();
}

}  // namespace kestrel
