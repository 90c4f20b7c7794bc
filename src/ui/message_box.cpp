#include "ui/message_box.h"

#include <QMessageBox>
#include <QString>

namespace kestrel {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: break;
  }
  return QMessageBox::Information;
}

}  // namespace

void SetMessageBoxHandlerForTesting(MessageBoxHandler handler) { Handler() = std::move(handler); }

MessageResult ShowMessageBox(QWidget* owner, const MessageBoxRequest& request) {
  if (Handler()) return Handler()(request);
  const bool yes_no = request.buttons == MessageButtons::YesNo;
  QMessageBox box(ToQtIcon(request.icon), QString::fromStdString(request.caption),
                  QString::fromStdString(request.text),
                  yes_no ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner);
  const int answer = box.exec();
  if (!yes_no) return MessageResult::Ok;
  return answer == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}

}  // namespace kestrel
