#pragma once

#include <span>

#include "storage/setting_rows.h"
#include "storage/settings.h"

namespace kestrel {

// Every key of LoadSettings, section by section in load order ([General] to [YouTube]).
std::span<const SettingRow<Settings>> SettingsTable();

// Every key of LoadEffectSettings: [DSPEffects], then [DSPParams] in parameter order.
std::span<const SettingRow<Settings>> EffectSettingsTable();

}  // namespace kestrel
