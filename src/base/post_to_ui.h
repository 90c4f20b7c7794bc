#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The one way for code off the user-interface thread (and core code that must not touch windows)
// to reach the main window: post a numbered message that the window handles on its next turn.
namespace kestrel {

// Base of heap records carried by a message; the receiver owns and destroys them.
struct UiPayload {
  virtual ~UiPayload() = default;
};

// A text carried by a message (a video id, a path).
struct TextPayload : UiPayload {
  explicit TextPayload(std::string value) : text(std::move(value)) {}
  std::string text;
};

struct PostedMessage {
  int message = 0;
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;
  std::unique_ptr<UiPayload> payload;
};

// Installed by the main window while it exists; must be callable from any thread.
using UiMessageSink = std::function<void(PostedMessage)>;
void SetUiMessageSink(UiMessageSink sink);
void ClearUiMessageSink();

// True while a main window receives messages.
bool HasUi();

// Queues the message for the user-interface thread. Returns false (and drops the message and its
// payload) when no main window exists.
bool PostToUi(int message, std::uint64_t wparam = 0, std::int64_t lparam = 0,
              std::unique_ptr<UiPayload> payload = nullptr);

// Posts a command id as the menu or a key would.
bool PostCommand(int command_id, std::int64_t lparam = 0);

}  // namespace kestrel
