#include "storage/setting_rows.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "storage/ini_values.h"

namespace kestrel {
namespace {

// Applies the row's rule for numbers outside its range; `value` is finite.
double Limited(double value, const SettingRule& rule, double default_value) {
  const SettingLimits& limits = rule.limits;
  if (value >= limits.min && value <= limits.max) return value;
  switch (limits.rule) {
    case OutOfRange::kKeep:
      return value;
    case OutOfRange::kClamp:
      return std::clamp(value, limits.min, limits.max);
    case OutOfRange::kUseDefault:
      return default_value;
  }
  return value;
}

double HeldDefault(const SettingRule& rule) {
  return rule.kind == SettingKind::kPercent ? rule.default_number / 100.0 : rule.default_number;
}

}  // namespace

bool ReadBoolSetting(const std::optional<std::string>& raw, const SettingRule& rule) {
  if (!raw) return rule.default_number != 0;
  return ParseLeadingInt(*raw) != 0;
}

int ReadIntSetting(const std::optional<std::string>& raw, const SettingRule& rule) {
  const int default_value = static_cast<int>(rule.default_number);
  if (!raw) return default_value;
  // Limits lie within int's range or are infinite, so the result always fits.
  const double limited = Limited(ParseLeadingInt(*raw), rule, default_value);
  return static_cast<int>(std::clamp(limited, double(INT_MIN), double(INT_MAX)));
}

double ReadNumberSetting(const std::optional<std::string>& raw, const SettingRule& rule,
                         double largest) {
  const double default_value = HeldDefault(rule);
  if (!raw) return default_value;
  const double value = rule.kind == SettingKind::kPercent ? ParseLeadingInt(*raw) / 100.0
                                                          : ParseLeadingFraction(*raw);
  // A hand-edited "nan" or "inf" would slip through every clamp below.
  if (!std::isfinite(value)) return default_value;
  const double limited = Limited(value, rule, default_value);
  return std::fabs(limited) <= largest ? limited : default_value;
}

std::string ReadTextSetting(const std::optional<std::string>& raw, const SettingRule& rule) {
  if (!raw) return std::string(rule.default_text);
  return CutToCharacters(*raw, rule.max_length);
}

std::string WriteBoolSetting(bool value) { return value ? "1" : "0"; }

std::string WriteIntSetting(int value) { return FormatInt(value); }

std::string WriteNumberSetting(double value, const SettingRule& rule) {
  if (rule.kind == SettingKind::kPercent) {
    // The nearest whole percent: the integer part of value x 100 + 0.5.
    const double percent = std::floor(value * 100.0 + 0.5);
    if (!std::isfinite(percent)) return FormatInt(static_cast<int>(rule.default_number));
    return FormatInt(static_cast<long long>(std::clamp(percent, double(INT_MIN), double(INT_MAX))));
  }
  return FormatFixed(value, rule.decimals);
}

}  // namespace kestrel
