#include "storage/settings_table.h"

#include "i18n/translate.h"

namespace kestrel {
namespace {

// The file keeps the language in use, also when it was detected from the system.
std::string ActiveLanguageCode(const Settings&) { return LanguageCode(); }

using S = Settings;

constexpr SettingRow<S> kSettingsRows[] = {
    // [General]
    WrittenAs(TextRow("General", "Language", &S::language, 7), &ActiveLanguageCode),

    // [Playback]
    BoolRow("Playback", "BringToFront", &S::bring_to_front, true),
    BoolRow("Playback", "MinimizeToTray", &S::minimize_to_tray, true),
    BoolRow("Playback", "LoadFolder", &S::load_folder, false),
    BoolRow("Playback", "RegisterFileTypes", &S::register_file_types, false),
    BoolRow("Playback", "ShowTitleInWindow", &S::show_title_in_window, true),
    BoolRow("Playback", "Shuffle", &S::shuffle, false),
    BoolRow("Playback", "CheckForUpdates", &S::check_for_updates, true),
    BoolRow("Playback", "AllowMultipleInstances", &S::allow_multiple_instances, false),

    // [Advanced]
    BoolRow("Advanced", "DisableBatchDelay", &S::disable_batch_delay, false),
};

}  // namespace

std::span<const SettingRow<Settings>> SettingsTable() { return kSettingsRows; }

}  // namespace kestrel
