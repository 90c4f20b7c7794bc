#pragma once

// What a keyboard user of a dialog meets: every control Tab reaches, with what a screen reader
// says for it; and keys sent to a control as the user types them.
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <map>
#include <ostream>
#include <string>

namespace kestrel::test {

struct ControlSpeech {
  std::string name;
  QAccessible::Role role;
  bool operator==(const ControlSpeech&) const = default;
};

inline void PrintTo(const ControlSpeech& spoken, std::ostream* out) {
  *out << '"' << spoken.name << "\" role " << static_cast<int>(spoken.role);
}

// Every control a keyboard user can reach, by object name.
inline std::map<std::string, ControlSpeech> FocusableControls(QWidget& dialog) {
  std::map<std::string, ControlSpeech> controls;
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    controls[widget->objectName().toStdString()] =
        accessible ? ControlSpeech{accessible->text(QAccessible::Name).toStdString(),
                                   accessible->role()}
                   : ControlSpeech{"<none>", QAccessible::NoRole};
  }
  return controls;
}

inline void SendKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&target, &release);
}

// Runs `show`, which opens a modal dialog and returns when it closes; `act` is given the dialog
// once it is up, and the dialog is closed afterwards if `act` left it open. False when no dialog
// came up.
inline bool RunModalDialog(const std::function<void()>& show,
                           const std::function<void(QDialog&)>& act) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen = true;
    act(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  show();
  return seen;
}

}  // namespace kestrel::test
