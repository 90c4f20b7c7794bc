#include "storage/preset_store.h"

#include <algorithm>
#include <cmath>

#include "base/utf8.h"
#include "storage/ini_file.h"
#include "storage/ini_values.h"
#include "storage/numbered_keys.h"

namespace kestrel {
namespace {

constexpr std::string_view kListSection = "Presets";
constexpr std::string_view kNamePrefix = "Name";
constexpr std::size_t kLongestPresetValue = 63;

std::string SectionOf(std::string_view name) { return "Preset_" + std::string(name); }

int ReadCount(const IniDocument& document) {
  const auto raw = document.Find(kListSection, "Count");
  return raw ? ParseLeadingInt(*raw) : 0;
}

// A preset value as its reader sees it: cut to the reading buffer, missing is nullopt.
std::optional<std::string> PresetValue(const IniDocument& document, std::string_view section,
                                       std::string_view key) {
  auto raw = document.Find(section, key);
  if (raw) *raw = CutToCharacters(*raw, kLongestPresetValue);
  return raw;
}

// atof of the value, or `otherwise` when the key is missing or the number is not finite.
float FractionOr(const std::optional<std::string>& raw, float otherwise) {
  if (!raw) return otherwise;
  const double value = ParseLeadingFraction(*raw);
  if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return otherwise;
  return static_cast<float>(value);
}

bool SwitchOr(const std::optional<std::string>& raw, bool otherwise) {
  return raw ? ParseLeadingInt(*raw) != 0 : otherwise;
}

bool IsBlankOrTab(char ch) { return ch == ' ' || ch == '\t'; }

bool SameName(std::string_view a, std::string_view b) { return EqualsIgnoreAsciiCase(a, b); }

}  // namespace

EffectPreset CurrentEffectPreset(const Settings& settings) {
  EffectPreset preset;
  preset.pitch = settings.playback_pitch;
  preset.tempo = settings.playback_tempo;
  preset.rate = settings.playback_rate;
  for (int i = 0; i < kStreamEffectCount; ++i) {
    preset.stream_enabled[i] = settings.*kStreamEffectSwitches[i];
  }
  preset.reverb_algorithm = settings.reverb_algorithm;
  for (int i = 0; i < kDspEffectCount; ++i) preset.dsp_enabled[i] = settings.*kDspEffectFlags[i];
  preset.params[1] = preset.pitch;
  preset.params[2] = preset.tempo;
  preset.params[3] = preset.rate;
  for (int id = 4; id < kEffectParameterCount; ++id) preset.params[id] = settings.effect_values[id];
  return preset;
}

std::string CleanPresetName(std::string_view typed) {
  const std::string cut = CutToCharacters(typed, kLongestPresetName);
  std::string_view view(cut);
  while (!view.empty() && IsBlankOrTab(view.front())) view.remove_prefix(1);
  while (!view.empty() && IsBlankOrTab(view.back())) view.remove_suffix(1);
  std::string cleaned(view);
  for (char& ch : cleaned) {
    if (ch == '\n' || ch == '\r' || ch == '=' || ch == '[' || ch == ']') ch = '_';
  }
  return cleaned;
}

std::vector<std::string> ReadPresetNames(const IniDocument& document) {
  std::vector<std::string> names;
  for (NumberedValue& entry : ReadNumberedValues(document, kListSection, kNamePrefix,
                                                 ReadCount(document), kLongestPresetName)) {
    if (!entry.value.empty()) names.push_back(std::move(entry.value));
  }
  return names;
}

void WritePresetNames(IniDocument& document, const std::vector<std::string>& names) {
  const int old_count = ReadCount(document);
  for (const auto& [key, value] : document.Entries(kListSection)) {
    const auto index = NumberedKeyIndex(key, kNamePrefix);
    if (index && *index < old_count) document.Erase(kListSection, key);
  }
  std::vector<std::string_view> writable;
  for (const std::string& name : names) {
    if (!name.empty() && IniDocument::CanHoldValue(name)) writable.push_back(name);
  }
  document.Set(kListSection, "Count", FormatInt(static_cast<long long>(writable.size())));
  for (std::size_t i = 0; i < writable.size(); ++i) {
    document.Set(kListSection, NumberedKey(kNamePrefix, static_cast<long long>(i)), writable[i]);
  }
}

std::optional<EffectPreset> ReadPresetSection(const IniDocument& document, std::string_view name,
                                              const EffectPreset& current) {
  if (name.empty()) return std::nullopt;
  const std::string section = SectionOf(name);
  const auto pitch = PresetValue(document, section, "Pitch");
  if (!pitch) return std::nullopt;

  EffectPreset preset = current;
  preset.pitch = FractionOr(pitch, 0.0f);
  preset.tempo = FractionOr(PresetValue(document, section, "Tempo"), 0.0f);
  preset.rate = FractionOr(PresetValue(document, section, "Rate"), 1.0f);
  for (int i = 0; i < kStreamEffectCount; ++i) {
    preset.stream_enabled[i] = SwitchOr(
        PresetValue(document, section, NumberedKey("StreamEnabled", i)), current.stream_enabled[i]);
  }
  if (const auto reverb = PresetValue(document, section, "ReverbAlgorithm")) {
    preset.reverb_algorithm = std::clamp(ParseLeadingInt(*reverb), 0, 3);
  }
  // Flag 0 (reverb) is written for completeness but never read: the algorithm decides.
  for (int i = 1; i < kDspEffectCount; ++i) {
    preset.dsp_enabled[i] = SwitchOr(PresetValue(document, section, NumberedKey("DSPEnabled", i)),
                                     current.dsp_enabled[i]);
  }
  for (int id = 1; id < kEffectParameterCount; ++id) {
    auto raw = PresetValue(document, section, NumberedKey("Param", id));
    if (raw && raw->empty()) raw.reset();  // an empty value keeps the current one
    preset.params[id] = FractionOr(raw, current.params[id]);
  }
  return preset;
}

bool WritePresetSection(IniDocument& document, std::string_view name, const EffectPreset& preset) {
  const std::string section = SectionOf(name);
  bool ok = true;
  const auto set = [&](const std::string& key, const std::string& value) {
    ok = document.Set(section, key, value) && ok;
  };
  for (int i = 0; i < kStreamEffectCount; ++i) {
    set(NumberedKey("StreamEnabled", i), preset.stream_enabled[i] ? "1" : "0");
  }
  set("Pitch", FormatFixed(preset.pitch, 4));
  set("Tempo", FormatFixed(preset.tempo, 4));
  set("Rate", FormatFixed(preset.rate, 4));
  set("ReverbAlgorithm", FormatInt(preset.reverb_algorithm));
  for (int i = 0; i < kDspEffectCount; ++i) {
    set(NumberedKey("DSPEnabled", i), preset.dsp_enabled[i] ? "1" : "0");
  }
  for (int id = 1; id < kEffectParameterCount; ++id) {
    set(NumberedKey("Param", id), FormatFixed(preset.params[id], 6));
  }
  return ok;
}

std::vector<std::string> ListPresets() { return ReadPresetNames(ReadIniFile(SettingsFilePath())); }

bool WritePresetList(const std::vector<std::string>& names) {
  return UpdateIniFile(SettingsFilePath(),
                       [&](IniDocument& document) { WritePresetNames(document, names); });
}

bool SavePreset(std::string_view name) {
  if (name.empty() || !IniDocument::CanHoldValue(name)) return false;
  const EffectPreset preset = CurrentEffectPreset(TheSettings());
  bool section_written = false;
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    section_written = WritePresetSection(document, name, preset);
    if (!section_written) return;
    std::vector<std::string> names = ReadPresetNames(document);
    const auto same = std::find_if(names.begin(), names.end(),
                                   [&](const std::string& listed) { return SameName(listed, name); });
    if (same == names.end()) {
      names.emplace_back(name);
    } else if (*same == name) {
      return;  // already listed: the order stays
    } else {
      *same = std::string(name);
    }
    WritePresetNames(document, names);
  });
  return file_written && section_written;
}

std::optional<EffectPreset> ReadPreset(std::string_view name) {
  return ReadPresetSection(ReadIniFile(SettingsFilePath()), name,
                           CurrentEffectPreset(TheSettings()));
}

bool DeletePreset(std::string_view name) {
  if (name.empty()) return false;
  bool was_listed = false;
  const bool file_written = UpdateIniFile(SettingsFilePath(), [&](IniDocument& document) {
    document.DeleteSection(SectionOf(name));
    std::vector<std::string> names = ReadPresetNames(document);
    was_listed = std::erase_if(names, [&](const std::string& listed) {
                   return SameName(listed, name);
                 }) > 0;
    if (was_listed) WritePresetNames(document, names);
  });
  return file_written && was_listed;
}

}  // namespace kestrel
