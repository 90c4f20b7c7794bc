#pragma once

#include <functional>

class QMainWindow;
class QMenu;
class QWidget;
class QAction;

namespace kestrel {

// Builds the main window's menu bar in English; every item sends its command id to on_command.
// Each item's objectName is "id_<command>", so tests and tools find items by id.
void BuildMenuBar(QMainWindow& window, const std::function<void(int)>& on_command);

// The item with this command id anywhere in the window's menus, or nullptr.
QAction* FindMenuAction(QWidget& window, int command);

// The popup offered on the video surface (right mouse button) while a video is loaded.
QMenu* BuildVideoContextMenu(QWidget* parent, const std::function<void(int)>& on_command);

}  // namespace kestrel
