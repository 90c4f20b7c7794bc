#pragma once

class QWidget;

// The pop-up menu of output devices (command "audio device menu").
namespace kestrel {

// Menu ids: the first device command plus the device number.
inline constexpr int kDeviceCommandFirst = 5000;
inline constexpr int kDeviceCommandLast = 5099;

// Shows one item per enabled device at the mouse pointer, the device in use checked (the
// system's default device while the default is in use), and switches to the device chosen.
// A hidden main window is shown for the time of the menu. Says "No audio devices found" when
// there is nothing to offer.
void ShowDeviceMenu(QWidget* main_window);

}  // namespace kestrel
