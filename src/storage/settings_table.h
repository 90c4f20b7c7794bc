#pragma once

#include <span>

#include "storage/setting_rows.h"
#include "storage/settings.h"

namespace kestrel {

// Every key of the general settings load and save, section by section in load order.
std::span<const SettingRow<Settings>> SettingsTable();

}  // namespace kestrel
