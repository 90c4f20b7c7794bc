// Feeds arbitrary bytes to the INI reader as a settings file, then writes a key the way a save
// does and checks that nothing else changed and that the key reads back. The same bytes go
// through every reader of the settings store (the key table, hotkeys, recent files, presets, the
// saved session), whose results must survive a save and load unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/hotkey_store.h"
#include "storage/ini_document.h"
#include "storage/ini_values.h"
#include "storage/preset_store.h"
#include "storage/recent_files.h"
#include "storage/session_store.h"
#include "storage/settings_table.h"

namespace {

using kestrel::IniDocument;

constexpr const char* kSections[] = {"Playback", "General", "Advanced", "Preset_A"};
constexpr const char* kKeys[] = {"Shuffle", "Language", "Volume", "Pitch"};

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string_view Slice(std::string_view bytes, std::size_t from, std::size_t length) {
  return from < bytes.size() ? bytes.substr(from, length) : std::string_view();
}

// A value of the input's own bytes that an INI line can hold.
std::string LineSafe(std::string_view bytes) {
  std::string value;
  for (char ch : bytes.substr(0, 64)) {
    if (ch != '\n' && ch != '\r' && ch != '\0') value += ch;
  }
  return value;
}

bool AllWritable(const std::vector<std::string>& values) {
  for (const std::string& value : values) {
    if (!IniDocument::CanHoldValue(value)) return false;
  }
  return true;
}

// Every row of the key table loads, saves in its written form and loads back the same.
void CheckSettingsTable(const IniDocument& document) {
  kestrel::Settings loaded;
  kestrel::LoadSettingRows(document, kestrel::SettingsTable(), loaded);
  kestrel::LoadSettingRows(document, kestrel::EffectSettingsTable(), loaded);
  IniDocument saved;
  kestrel::SaveSettingRows(saved, kestrel::SettingsTable(), loaded);
  kestrel::SaveSettingRows(saved, kestrel::EffectSettingsTable(), loaded);
  kestrel::Settings reloaded;
  kestrel::LoadSettingRows(saved, kestrel::SettingsTable(), reloaded);
  kestrel::LoadSettingRows(saved, kestrel::EffectSettingsTable(), reloaded);
  for (const auto table : {kestrel::SettingsTable(), kestrel::EffectSettingsTable()}) {
    for (const auto& row : table) {
      const std::string form = kestrel::WrittenForm(row, loaded);
      if (IniDocument::CanHoldValue(form)) Check(kestrel::WrittenForm(row, reloaded) == form);
    }
  }
  Check(loaded.playback_volume >= 0.0f && loaded.playback_volume <= 4.0f);
  Check(loaded.current_effect >= 0 && loaded.current_effect <= 3);
  Check(loaded.current_seek >= 0 && loaded.current_seek <= 12);
}

void CheckLists(const IniDocument& document) {
  const kestrel::StoredHotkeys hotkeys = kestrel::ReadHotkeys(document);
  IniDocument hotkeys_saved;
  kestrel::WriteHotkeys(hotkeys_saved, hotkeys.enabled, hotkeys.entries);
  const kestrel::StoredHotkeys hotkeys_again = kestrel::ReadHotkeys(hotkeys_saved);
  Check(hotkeys_again.enabled == hotkeys.enabled && hotkeys_again.entries == hotkeys.entries);
  for (const auto& entry : hotkeys.entries) {
    Check(entry.action >= 0 && entry.action < kestrel::kHotkeyActionCount);
    Check(kestrel::ParseHotkeyValue(kestrel::FormatHotkeyValue(entry)) == entry);
  }

  const std::vector<std::string> recent = kestrel::ReadRecentFiles(document);
  Check(recent.size() <= static_cast<std::size_t>(kestrel::kMaxRecentFiles));
  IniDocument recent_saved;
  kestrel::WriteRecentFiles(recent_saved, recent);
  if (AllWritable(recent)) Check(kestrel::ReadRecentFiles(recent_saved) == recent);

  const std::vector<std::string> names = kestrel::ReadPresetNames(document);
  IniDocument names_saved;
  kestrel::WritePresetNames(names_saved, names);
  if (AllWritable(names)) Check(kestrel::ReadPresetNames(names_saved) == names);
  const kestrel::EffectPreset current = kestrel::CurrentEffectPreset(kestrel::Settings{});
  for (std::size_t i = 0; i < names.size() && i < 4; ++i) {
    if (auto preset = kestrel::ReadPresetSection(document, names[i], current)) {
      Check(preset->reverb_algorithm >= 0 && preset->reverb_algorithm <= 3);
      IniDocument preset_saved;
      if (kestrel::WritePresetSection(preset_saved, names[i], *preset)) {
        Check(kestrel::ReadPresetSection(preset_saved, names[i], current).has_value());
      }
    }
  }

  const kestrel::SessionState session = kestrel::ReadSessionState(document);
  Check(session.last_position == session.last_position);  // never NaN
  IniDocument session_saved;
  kestrel::WriteSessionState(session_saved, session.tracks, session.current_track,
                             session.last_position);
  if (AllWritable(session.tracks)) {
    Check(kestrel::ReadSessionState(session_saved).tracks == session.tracks);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  IniDocument document = IniDocument::Parse(input);
  CheckSettingsTable(document);
  CheckLists(document);
  // Hotkey values straight from the input, as a hand-edited Hotkey key would hold them.
  if (const auto entry = kestrel::ParseHotkeyValue(input.substr(0, 63))) {
    Check(kestrel::ParseHotkeyValue(kestrel::FormatHotkeyValue(*entry)) == entry);
  }

  // What we write parses back to the same bytes.
  const std::string serialized = document.Serialize();
  Check(IniDocument::Parse(serialized).Serialize() == serialized);

  // Read the known keys as the settings loader would.
  std::optional<std::string> before[4][4];
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 4; ++k) {
      before[s][k] = document.Find(kSections[s], kKeys[k]);
      if (before[s][k]) {
        (void)kestrel::ParseLeadingInt(*before[s][k]);
        (void)kestrel::ParseLeadingFraction(*before[s][k]);
        (void)kestrel::CutToCharacters(*before[s][k], 7);
      }
    }
  }

  // Set one of them to a value taken from the input.
  const int section = static_cast<int>(size % 4);
  const int key = static_cast<int>((size / 4) % 4);
  const std::string value = LineSafe(Slice(input, size / 2, std::string_view::npos));
  Check(document.Set(kSections[section], kKeys[key], value));

  IniDocument reread = IniDocument::Parse(document.Serialize());
  Check(reread.Find(kSections[section], kKeys[key]) == value);
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < 4; ++k) {
      if (s != section || k != key) Check(reread.Find(kSections[s], kKeys[k]) == before[s][k]);
    }
  }

  // Names taken from the input: either refused with nothing changed, or read back.
  const std::string odd_section(Slice(input, 0, 16));
  const std::string odd_key(Slice(input, 16, 16));
  const std::string unchanged = reread.Serialize();
  if (reread.Set(odd_section, odd_key, value)) {
    Check(IniDocument::Parse(reread.Serialize()).Find(odd_section, odd_key) == value);
  } else {
    Check(reread.Serialize() == unchanged);
  }

  // Clearing and deleting sections.
  const char* cleared = kSections[(section + 1) % 4];
  reread.ClearSection(cleared);
  Check(!reread.Find(cleared, kKeys[key]));
  reread.DeleteSection(kSections[section]);
  Check(!reread.HasSection(kSections[section]));
  const IniDocument last = IniDocument::Parse(reread.Serialize());
  Check(!last.HasSection(kSections[section]) && !last.Find(cleared, kKeys[key]));
  return 0;
}
