#include "effects/effect_cycling.h"

#include <algorithm>
#include <string>

#include "effects/effect_parameter_table.h"
#include "effects/effect_parameters.h"
#include "effects/parameter_speech.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "speech/speech.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// One semitone as a ratio, 2^(1/12): the rate step with [Effects] RateStepMode 1.
constexpr float kSemitoneRatio = 1.0594631f;

int& Current() {
  static int current = kParamVolume;
  return current;
}

bool IsSwitchedOn(const EffectParameter& row, const Settings& settings) {
  if (row.group == kReverbGroup) return settings.reverb_algorithm == row.reverb_kind;
  return settings.*row.switch_flag;
}

// The new value one step from `value` in `direction`, before the setter's clamp.
float SteppedValue(const EffectParameter& row, float value, int direction) {
  const float maximum = ParameterMaximum(row);
  if (row.id == kParamRate && TheSettings().rate_step_mode == 1) {
    value = direction > 0 ? value * kSemitoneRatio : value / kSemitoneRatio;
    return std::clamp(value, row.minimum, maximum);
  }
  value += static_cast<float>(direction) * ParameterStep(row);
  switch (row.step_end) {
    case StepEnd::kClamp:
      return std::clamp(value, row.minimum, maximum);
    case StepEnd::kWrap: {
      const float turn = maximum - row.minimum;  // 360 degrees
      while (value > maximum) value -= turn;
      while (value < row.minimum) value += turn;
      return value;
    }
    case StepEnd::kToggle: {
      // For 0 and 1, a step past either end lands on the other.
      const float span = maximum - row.minimum + row.step;
      while (value > maximum) value -= span;
      while (value < row.minimum) value += span;
      return value;
    }
  }
  return value;
}

// The first steps every command that changes the current parameter takes. Returns the row to
// change, or null when there is nothing to change: the cycle list is empty, or the parameter is
// the tempo or rate of a live stream (which is said).
const EffectParameter* ParameterToChange() {
  const std::vector<int> list = BuildParameterCycleList();
  if (list.empty()) return nullptr;
  if (std::find(list.begin(), list.end(), Current()) == list.end()) Current() = list.front();
  const int id = Current();
  if (ThePlayerState().is_live && (id == kParamTempo || id == kParamRate)) {
    Speak(Translate("Not available for live streams"));
    return nullptr;
  }
  return FindEffectParameter(id);
}

void SetCurrentAndSpeak(const EffectParameter& row, float value) {
  SetEffectParameter(row.id, value);
  SpeakCurrentParameter();
}

}  // namespace

std::vector<int> BuildParameterCycleList() {
  const Settings& settings = TheSettings();
  std::vector<int> list;
  for (const EffectParameter& row : EffectParameterTable()) {
    if (IsSwitchedOn(row, settings)) list.push_back(row.id);
  }
  return list;
}

int CurrentEffectParameter() { return Current(); }

void SetCurrentEffectParameter(int id) {
  if (FindEffectParameter(id)) Current() = id;
}

void AdjustCurrentParameter(int direction) {
  const EffectParameter* row = ParameterToChange();
  if (!row) return;
  SetCurrentAndSpeak(*row, SteppedValue(*row, GetEffectParameter(row->id), direction < 0 ? -1 : 1));
}

void CycleCurrentParameter(int direction) {
  const std::vector<int> list = BuildParameterCycleList();
  if (list.empty()) {
    Speak(Translate("No parameters available"));
    return;
  }
  const auto found = std::find(list.begin(), list.end(), Current());
  std::ptrdiff_t position = 0;
  if (found != list.end()) {
    position = std::clamp<std::ptrdiff_t>((found - list.begin()) + (direction < 0 ? -1 : 1), 0,
                                          static_cast<std::ptrdiff_t>(list.size()) - 1);
  }
  Current() = list[static_cast<std::size_t>(position)];
  SpeakCurrentParameter();
}

void ResetCurrentParameter() {
  if (const EffectParameter* row = ParameterToChange()) {
    SetCurrentAndSpeak(*row, row->default_value);
  }
}

void SetCurrentParameterToMinimum() {
  if (const EffectParameter* row = ParameterToChange()) SetCurrentAndSpeak(*row, row->minimum);
}

void SetCurrentParameterToMaximum() {
  if (const EffectParameter* row = ParameterToChange()) {
    SetCurrentAndSpeak(*row, ParameterMaximum(*row));
  }
}

void ToggleStreamEffect(int index) {
  if (index < 0 || index >= kStreamEffectCount) return;
  bool& on = TheSettings().*kStreamEffectSwitches[index];
  on = !on;
  // Spoken as composed, in English like the parameter names.
  Speak(std::string(EffectParameterTable()[index].name) + (on ? " enabled" : " disabled"), true);
}

void SpeakCurrentParameter() {
  if (!TheSettings().speech_effect) return;
  const int id = Current();
  Speak(ParameterValueText(id, GetEffectParameter(id)), true);
}

}  // namespace kestrel
