#include "engine/device_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QString>
#include <QWidget>

#include "engine/audio_output.h"
#include "i18n/translate.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

bool IsChecked(const OutputDeviceChoice& device, int current) {
  return current == -1 ? device.is_default : device.number == current;
}

// Ids beyond the menu's range would reach other commands: such devices are not offered.
bool HasMenuId(const OutputDeviceChoice& device) {
  return kDeviceCommandFirst + device.number <= kDeviceCommandLast;
}

}  // namespace

void ShowDeviceMenu(QWidget* main_window) {
  QMenu menu(main_window);
  const int current = CurrentDeviceIndex();
  for (const OutputDeviceChoice& device : EnabledOutputDevices()) {
    if (!HasMenuId(device)) continue;
    const int id = kDeviceCommandFirst + device.number;
    QAction* item = menu.addAction(QString::fromStdString(device.name));
    item->setObjectName(QStringLiteral("id_%1").arg(id));
    item->setData(id);
    item->setCheckable(true);
    item->setChecked(IsChecked(device, current));
  }
  if (menu.isEmpty()) {
    Speak(Translate("No audio devices found"));
    return;
  }

  const bool was_hidden = main_window && !main_window->isVisible();
  if (main_window) {
    if (was_hidden) main_window->show();
    main_window->raise();
    main_window->activateWindow();
  }
  const QAction* chosen = menu.exec(QCursor::pos());
  const int device = chosen ? chosen->data().toInt() - kDeviceCommandFirst : -1;
  if (device >= 0 && device <= kDeviceCommandLast - kDeviceCommandFirst) SelectDevice(device);
  if (was_hidden) main_window->hide();
}

}  // namespace kestrel
