#include "app/key_router.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/command_dispatch.h"
#include "app/command_ids.h"
#include "app/key_input.h"
#include "app/main_window.h"
#include "app/pending_steps.h"
#include "app/shell_state.h"
#include "base/post_to_ui.h"
#include "speech/speech.h"

namespace kestrel {

KeyRouter::KeyRouter(MainWindow& window) : QObject(&window), window_(window) {}

bool KeyRouter::IsForMainWindow(QObject* watched) const {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != &window_) return false;
  // The menu bar and its menus navigate with the arrows, Enter and Escape themselves.
  if (qobject_cast<QMenuBar*>(widget) || qobject_cast<QMenu*>(widget)) return false;
  return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !IsForMainWindow(watched)) return false;
  const KeyStroke stroke = KeyStrokeFromEvent(*static_cast<QKeyEvent*>(event));

  if (Shell().keyboard_help && stroke.qt_key != Qt::Key_F12) {
    const std::string description = DescribeKey(stroke);
    if (!description.empty()) Speak(description, true);
    return true;
  }
  if (stroke.qt_key == Qt::Key_F10 && stroke.modifiers == kNoModifier) {
    // As on every desktop, F10 opens the menu bar at its first menu.
    if (!window_.menuBar()->actions().isEmpty()) window_.menuBar()->setActiveAction(window_.menuBar()->actions().first());
    return true;
  }
  if (const AcceleratorRow* accelerator = FindAccelerator(stroke)) {
    DispatchCommand(accelerator->command);
    return true;
  }
  if ((stroke.qt_key == Qt::Key_F11 && pending::IsVideoLoaded()) ||
      (stroke.qt_key == Qt::Key_Escape && pending::IsVideoFullscreen())) {
    PostCommand(cmd::kFullscreen);
    return true;
  }
  if (const PositionKeyRow* position = FindPositionKey(stroke)) {
    PostCommand(position->command);
    return true;
  }
  return false;
}

}  // namespace kestrel
