#pragma once

#include <functional>
#include <string>

class QWidget;

// Message boxes go through this seam so tests can answer them and see what was asked.
namespace kestrel {

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
};

// Shows a modal message box owned by `owner` (nullptr: no owner) and returns the button chosen.
MessageResult ShowMessageBox(QWidget* owner, const MessageBoxRequest& request);

// Tests replace the box: the handler answers instead of a person. nullptr restores the real box.
using MessageBoxHandler = std::function<MessageResult(const MessageBoxRequest&)>;
void SetMessageBoxHandlerForTesting(MessageBoxHandler handler);

}  // namespace kestrel
