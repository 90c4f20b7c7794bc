#include "storage/hotkey_store.h"

#include <limits>

#include "storage/ini_file.h"
#include "storage/ini_values.h"
#include "storage/numbered_keys.h"
#include "storage/setting_rows.h"

namespace kestrel {
namespace {

constexpr std::string_view kSection = "Hotkeys";
constexpr std::string_view kPrefix = "Hotkey";
constexpr std::size_t kLongestValue = 63;

constexpr SettingRule kEnabledRule{SettingKind::kBool, 1};
constexpr SettingRule kCountRule{SettingKind::kInt, 0};

bool IsCSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// One decimal number as scanf reads it after skipping blanks, with an optional sign; stops at the
// first character that is not a digit. nullopt when there is no digit or it overflows 64 bits.
std::optional<long long> ScanNumber(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t first_digit = i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (std::numeric_limits<long long>::max() - 9) / 10) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  if (i == first_digit) return std::nullopt;
  text.remove_prefix(i);
  return negative ? -value : value;
}

bool ScanComma(std::string_view& text) {
  if (text.empty() || text.front() != ',') return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

int NextHotkeyId() {
  static int last_id = 0;  // user-interface thread only
  return ++last_id;
}

std::optional<HotkeyEntry> ParseHotkeyValue(std::string_view value) {
  const auto modifiers = ScanNumber(value);
  if (!modifiers || !ScanComma(value)) return std::nullopt;
  const auto key = ScanNumber(value);
  if (!key || !ScanComma(value)) return std::nullopt;
  const auto action = ScanNumber(value);
  if (!action) return std::nullopt;
  // sscanf would wrap a negative "%u" into a huge mask; such an entry is garbage, not a hotkey.
  constexpr long long kLargestUnsigned = std::numeric_limits<std::uint32_t>::max();
  if (*modifiers < 0 || *modifiers > kLargestUnsigned || *key < 0 || *key > kLargestUnsigned) {
    return std::nullopt;
  }
  if (*action < 0 || *action >= kHotkeyActionCount) return std::nullopt;
  HotkeyEntry entry;
  entry.modifiers = static_cast<std::uint32_t>(*modifiers);
  entry.key = static_cast<std::uint32_t>(*key);
  entry.action = static_cast<int>(*action);
  return entry;
}

std::string FormatHotkeyValue(const HotkeyEntry& entry) {
  return FormatInt(entry.modifiers) + "," + FormatInt(entry.key) + "," + FormatInt(entry.action);
}

StoredHotkeys ReadHotkeys(const IniDocument& document) {
  StoredHotkeys stored;
  stored.enabled = ReadBoolSetting(document.Find(kSection, "Enabled"), kEnabledRule);
  const int count = ReadIntSetting(document.Find(kSection, "Count"), kCountRule);
  for (const NumberedValue& value :
       ReadNumberedValues(document, kSection, kPrefix, count, kLongestValue)) {
    if (auto entry = ParseHotkeyValue(value.value)) stored.entries.push_back(*entry);
  }
  return stored;
}

void WriteHotkeys(IniDocument& document, bool enabled, const std::vector<HotkeyEntry>& entries) {
  document.Set(kSection, "Enabled", WriteBoolSetting(enabled));
  document.Set(kSection, "Count", FormatInt(static_cast<long long>(entries.size())));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    document.Set(kSection, NumberedKey(kPrefix, static_cast<long long>(i)),
                 FormatHotkeyValue(entries[i]));
  }
}

void LoadHotkeys() {
  StoredHotkeys stored = ReadHotkeys(ReadIniFile(SettingsFilePath()));
  Settings& settings = TheSettings();
  settings.hotkeys_enabled = stored.enabled;
  settings.hotkeys = std::move(stored.entries);
  for (HotkeyEntry& entry : settings.hotkeys) entry.id = NextHotkeyId();
}

bool SaveHotkeys() {
  const Settings& settings = TheSettings();
  return UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    WriteHotkeys(document, settings.hotkeys_enabled, settings.hotkeys);
  });
}

}  // namespace kestrel
