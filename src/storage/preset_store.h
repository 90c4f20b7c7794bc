#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ini_document.h"
#include "storage/settings.h"

// Effect presets in the settings file: [Presets] holds Count and Name0 …; each preset has its own
// section "Preset_<name>" with the effect state except the volume.
namespace kestrel {

inline constexpr std::size_t kLongestPresetName = 127;

struct EffectPreset {
  float pitch = 0.0f;  // semitones
  float tempo = 0.0f;  // percent
  float rate = 1.0f;   // factor
  std::array<bool, kStreamEffectCount> stream_enabled{};
  int reverb_algorithm = 0;
  std::array<bool, kDspEffectCount> dsp_enabled{};
  // Effect parameter values by id; 1-3 repeat pitch, tempo and rate. Id 0 (the volume) is never
  // part of a preset.
  std::array<float, kEffectParameterCount> params{};
  bool operator==(const EffectPreset&) const = default;
};

// The effect state a preset saved now would hold.
EffectPreset CurrentEffectPreset(const Settings& settings);

// The name from the save dialog made fit for a section name and a key value: at most 127
// characters, blanks and tabs trimmed from both ends, line feeds, carriage returns, "=", "[" and
// "]" turned into "_". Empty when nothing is left.
std::string CleanPresetName(std::string_view typed);

// ---- On a document.

// The non-empty names Name0 … below Count, in order.
std::vector<std::string> ReadPresetNames(const IniDocument& document);
// Deletes the old Name keys below the old Count, writes the new Count and the names.
void WritePresetNames(IniDocument& document, const std::vector<std::string>& names);
// The preset's values, each missing one taken from `current`; nullopt when its section has no
// Pitch key. Values are read as written; clamping them is the effect setter's work.
std::optional<EffectPreset> ReadPresetSection(const IniDocument& document, std::string_view name,
                                              const EffectPreset& current);
// Writes every key of the preset's section; false when the name cannot be a section name.
bool WritePresetSection(IniDocument& document, std::string_view name, const EffectPreset& preset);

// ---- On the settings file. Each runs as one locked read-change-write of the file.

std::vector<std::string> ListPresets();
bool WritePresetList(const std::vector<std::string>& names);
// Saves the current effect state of `TheSettings()` under the name and lists the name when it is
// new. Names match as the file's section names do, without regard to ASCII case: saving "slow"
// over "Slow" overwrites that preset and lists it under the new spelling. False for an empty or
// unwritable name, or when the file could not be written.
bool SavePreset(std::string_view name);
// The stored preset, missing values taken from the current state; nullopt when there is none.
// Applying it (the effect setter, the chain) is the effect subsystem's work.
std::optional<EffectPreset> ReadPreset(std::string_view name);
// Deletes the preset's section and its name; false when the name was not listed (the section is
// deleted all the same) or the file could not be written.
bool DeletePreset(std::string_view name);

}  // namespace kestrel
