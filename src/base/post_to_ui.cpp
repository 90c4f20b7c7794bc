#include "base/post_to_ui.h"

#include <mutex>

#include "base/ui_messages.h"

namespace kestrel {
namespace {

// Never destroyed: worker threads may still post while the process exits.
struct SinkSlot {
  std::mutex mutex;
  UiMessageSink sink;
};
SinkSlot& Slot() {
  static auto* slot = new SinkSlot;
  return *slot;
}

}  // namespace

void SetUiMessageSink(UiMessageSink sink) {
  std::lock_guard lock(Slot().mutex);
  Slot().sink = std::move(sink);
}

void ClearUiMessageSink() { SetUiMessageSink(nullptr); }

bool HasUi() {
  std::lock_guard lock(Slot().mutex);
  return static_cast<bool>(Slot().sink);
}

bool PostToUi(int message, std::uint64_t wparam, std::int64_t lparam,
              std::unique_ptr<UiPayload> payload) {
  std::lock_guard lock(Slot().mutex);
  if (!Slot().sink) return false;
  Slot().sink(PostedMessage{message, wparam, lparam, std::move(payload)});
  return true;
}

bool PostCommand(int command_id, std::int64_t lparam) {
  return PostToUi(kMsgCommand, static_cast<std::uint64_t>(command_id), lparam);
}

}  // namespace kestrel
