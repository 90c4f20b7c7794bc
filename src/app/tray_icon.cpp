#include "app/tray_icon.h"

#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QSystemTrayIcon>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "base/post_to_ui.h"
#include "diag/logger.h"
#include "i18n/translate.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

constexpr const char* kNoTrayReason =
    "The desktop has no notification area: Kestrel stays on the task bar instead.";

struct TrayState {
  QPointer<QSystemTrayIcon> icon;
  QPointer<QMenu> menu;
  std::function<bool()> available_for_testing;
  bool told_no_tray = false;
};
TrayState& Tray() {
  static auto* state = new TrayState;
  return *state;
}

void ShowIcon(QMainWindow& window) {
  TrayState& tray = Tray();
  if (tray.icon) return;
  tray.menu = BuildTrayMenu(nullptr);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
  tray.icon = new QSystemTrayIcon(icon);
  tray.icon->setToolTip(QStringLiteral("Kestrel"));
  tray.icon->setContextMenu(tray.menu);
  QObject::connect(tray.icon, &QSystemTrayIcon::activated, &window,
                   [window = QPointer<QMainWindow>(&window)](QSystemTrayIcon::ActivationReason reason) {
                     if (window && (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)) {
                       RestoreFromTray(*window);
                     }
                   });
  tray.icon->show();
}

void MinimiseOntoTaskBar(QMainWindow& window) {
  if (!window.isMinimized()) window.showMinimized();
  TrayState& tray = Tray();
  if (tray.told_no_tray) return;
  tray.told_no_tray = true;
  LogText("TRAY", "no notification area; the window is minimised instead of hidden");
  Speak(Translate(kNoTrayReason));
}

QMainWindow* MainWindowOrNull() { return Shell().main_window; }

}  // namespace

bool IsTrayAvailable() {
  if (Tray().available_for_testing) return Tray().available_for_testing();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void SetTrayAvailableForTesting(std::function<bool()> available) {
  Tray().available_for_testing = std::move(available);
  Tray().told_no_tray = false;
}

void HideToTray(QMainWindow& window) {
  if (!IsTrayAvailable()) {
    MinimiseOntoTaskBar(window);
    return;
  }
  ShowIcon(window);
  window.hide();
}

void RestoreFromTray(QMainWindow& window) {
  window.show();
  if (window.isMinimized()) window.showNormal();
  window.raise();
  window.activateWindow();
}

void ToggleWindow(QMainWindow& window) {
  if (window.isHidden() || window.isMinimized()) {
    RestoreFromTray(window);
  } else {
    HideToTray(window);
  }
}

void RemoveTrayIcon() {
  TrayState& tray = Tray();
  if (tray.icon) {
    tray.icon->hide();
    tray.icon->deleteLater();
  }
  if (tray.menu) tray.menu->deleteLater();
  tray.icon = nullptr;
  tray.menu = nullptr;
}

bool IsTrayIconShown() { return Tray().icon != nullptr; }

QMenu* BuildTrayMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("tray_menu"));
  menu->setAccessibleName(QStringLiteral("Kestrel"));
  struct Item {
    const char* text;
    int command;
  };
  static constexpr Item kItems[] = {
      {"&Restore", cmd::kTrayRestore}, {nullptr, 0},
      {"&Play/Pause", cmd::kPlayPause},    {"&Stop", cmd::kStop},
      {"P&revious", cmd::kPrevious},       {"&Next", cmd::kNext},
      {nullptr, 0},                        {"E&xit", cmd::kTrayExit},
  };
  for (const Item& item : kItems) {
    if (!item.text) {
      menu->addSeparator();
      continue;
    }
    const QString text = QString::fromStdString(Translate(item.text));
    QAction* action = menu->addAction(text);
    action->setData(item.command);
    // The chosen command is posted: Exit destroys the window and this menu with it.
    QObject::connect(action, &QAction::triggered, [command = item.command] { PostCommand(command); });
  }
  return menu;
}

void OnTrayIconMessage(QMainWindow& window, std::int64_t mouse_message) {
  if (mouse_message == kTrayLeftDoubleClick) {
    RestoreFromTray(window);
  } else if (mouse_message == kTrayRightButtonUp) {
    QMenu* menu = Tray().menu;
    if (!menu) {
      menu = BuildTrayMenu(&window);
      QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    }
    window.activateWindow();
    menu->popup(QCursor::pos());
  }
}

void CommandHideToTray(int, std::int64_t) {
  if (QMainWindow* window = MainWindowOrNull()) HideToTray(*window);
}

void CommandRestoreFromTray(int, std::int64_t) {
  if (QMainWindow* window = MainWindowOrNull()) RestoreFromTray(*window);
}

void CommandToggleWindow(int, std::int64_t) {
  if (QMainWindow* window = MainWindowOrNull()) ToggleWindow(*window);
}

}  // namespace kestrel
