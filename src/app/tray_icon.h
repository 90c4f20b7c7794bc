#pragma once

#include <cstdint>
#include <functional>

class QMainWindow;
class QMenu;
class QWidget;

// The notification-area icon: the window can be hidden to it (Ctrl+H, minimising with
// [General] MinimizeToTray) and brought back from it. Once shown, the icon stays until exit.
// Where the desktop has no notification area, hiding would leave the window unreachable, so it
// is minimised onto the task bar instead and the user is told why, once. User-interface thread
// only.
namespace kestrel {

// Mouse messages of the posted tray notification (its lparam).
inline constexpr std::int64_t kTrayLeftDoubleClick = 0x0203;
inline constexpr std::int64_t kTrayRightButtonUp = 0x0205;

// Whether the desktop offers a notification area (tests may pretend either way).
bool IsTrayAvailable();
void SetTrayAvailableForTesting(std::function<bool()> available);  // nullptr: ask the desktop

// Shows the icon (once) and hides the window; without a notification area, minimises instead.
void HideToTray(QMainWindow& window);
// Shows the window, un-minimised and in front.
void RestoreFromTray(QMainWindow& window);
// A window on screen is hidden to the tray; a hidden or minimised one is restored.
void ToggleWindow(QMainWindow& window);
// Removes the icon at exit.
void RemoveTrayIcon();
bool IsTrayIconShown();

// The icon's menu: Restore (700), Play/Pause, Stop, Previous, Next, Exit (701); each item posts
// its command.
QMenu* BuildTrayMenu(QWidget* parent);
// A tray notification: a double click restores the window, the right button shows the menu.
void OnTrayIconMessage(QMainWindow& window, std::int64_t mouse_message);

// The commands 106 (hide to tray), 700 (restore) and 702 (show or hide).
void CommandHideToTray(int id, std::int64_t lparam);
void CommandRestoreFromTray(int id, std::int64_t lparam);
void CommandToggleWindow(int id, std::int64_t lparam);

}  // namespace kestrel
