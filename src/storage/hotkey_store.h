#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ini_document.h"
#include "storage/settings.h"

// The user's global hotkeys as [Hotkeys] keeps them: Enabled, Count, and Hotkey0 … each holding
// "modifiers,virtual key,action index" ("%u,%u,%d").
namespace kestrel {

// A new run-time id for an entry loaded or added: 1 for the first in the process, then +1 each.
int NextHotkeyId();

// The value of one Hotkey%d key, read like sscanf's "%u,%u,%d" (blanks before each number, the
// commas right after the numbers, anything after the third number ignored). nullopt when it does
// not give three numbers, a number is negative or too large, or the action index is not 0-38.
// The returned entry has id 0.
std::optional<HotkeyEntry> ParseHotkeyValue(std::string_view value);
std::string FormatHotkeyValue(const HotkeyEntry& entry);

struct StoredHotkeys {
  bool enabled = true;
  std::vector<HotkeyEntry> entries;  // ids 0: the caller numbers them
};

// Enabled (default 1) and the well-formed entries below Count, in order; malformed ones skipped.
StoredHotkeys ReadHotkeys(const IniDocument& document);
// Enabled, Count and one key per entry. Keys of a longer earlier list stay beyond Count.
void WriteHotkeys(IniDocument& document, bool enabled, const std::vector<HotkeyEntry>& entries);

// Start-up, after LoadSettings: fills `hotkeys_enabled` and `hotkeys` of the settings, each entry
// with a fresh id.
void LoadHotkeys();
// After each change on the hotkeys page: writes the switch and the list to the file at once.
bool SaveHotkeys();

}  // namespace kestrel
