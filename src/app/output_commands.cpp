#include "app/output_commands.h"

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "engine/audio_output.h"
#include "engine/device_menu.h"
#include "engine/plugin_report.h"
#include "i18n/translate.h"
#include "ui/message_box.h"

namespace kestrel {

void CommandPluginReport(int, std::int64_t) {
  ShowMessageBox(Shell().main_window, {PluginReport(), Translate("Loaded Plugins"), MessageIcon::Information});
}

void CommandDeviceMenu(int, std::int64_t) { ShowDeviceMenu(Shell().main_window); }

void CommandSelectDevice(int id, std::int64_t) { SelectDevice(id - cmd::kAudioDeviceFirst); }

}  // namespace kestrel
