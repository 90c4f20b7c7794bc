#include "effects/parameter_speech.h"

#include <charconv>
#include <cmath>

#include "effects/effect_parameter_table.h"

namespace kestrel {
namespace {

constexpr std::size_t kMaxSpokenLength = 63;

// The value with `decimals` digits after the point, rounded as printf's %.Nf rounds, in the
// "C" form whatever the user's locale; with `signed_form` a '+' before values that are not
// negative, as %+.Nf writes it.
std::string FixedText(float value, int decimals, bool signed_form) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (signed_form && !std::signbit(value)) text.insert(text.begin(), '+');
  return text;
}

// The integer part of v × 100 + 0.5: 0.85 is 85, 1.0 is 100. Volumes lie in 0-4; the clamp
// only keeps a stray value from overflowing the conversion.
long long WholePercent(float value) {
  const double percent = static_cast<double>(value * 100.0f) + 0.5;
  return static_cast<long long>(std::fmax(-1e15, std::fmin(percent, 1e15)));
}

std::string ValueText(const EffectParameter& row, float value) {
  const std::string name(row.name);
  const std::string unit(row.unit);
  switch (row.spoken) {
    case SpokenForm::kPercentOfFraction:
      return name + " " + std::to_string(WholePercent(value)) + unit;
    case SpokenForm::kSigned:
      return name + " " + FixedText(value, 0, true) + unit;
    case SpokenForm::kTwoDecimals:
      return name + " " + FixedText(value, 2, false) + unit;
    case SpokenForm::kWhole:
      return name + " " + FixedText(value, 0, false) + unit;
    case SpokenForm::kSurroundOrBinaural:
      return name + ": " + (value >= 0.5f ? "5.1 Surround" : "Binaural");
    case SpokenForm::kOnOff:
      return name + ": " + (value >= 0.5f ? "On" : "Off");
  }
  return name;
}

}  // namespace

std::string ParameterValueText(int id, float value) {
  const EffectParameter* row = FindEffectParameter(id);
  if (!row) return {};
  std::string text = ValueText(*row, value);
  if (text.size() > kMaxSpokenLength) text.resize(kMaxSpokenLength);
  return text;
}

}  // namespace kestrel
