#pragma once

#include <span>
#include <string_view>

#include "storage/settings.h"

// The 38 effect parameters the user turns with the arrow keys while listening: the four stream
// effects (volume, pitch, tempo, rate) and the parameters of the DSP effects. One row per
// parameter, in id order; that order is also the order of the cycle list.
namespace kestrel {

inline constexpr int kParamVolume = 0;
inline constexpr int kParamPitch = 1;
inline constexpr int kParamTempo = 2;
inline constexpr int kParamRate = 3;
inline constexpr int kParamSpatialRotation = 32;
inline constexpr int kParamSpatialMode = 33;
inline constexpr int kParamSpatialRearCenter = 34;

inline constexpr int kStreamEffectGroup = -1;  // the group of the four stream effects
inline constexpr int kReverbGroup = 0;         // the DSP effect index of the reverb

// How a value is spoken after the parameter's name.
enum class SpokenForm {
  kPercentOfFraction,   // "Volume 85%": the fraction × 100, rounded
  kSigned,              // "Pitch +2 semitones"
  kTwoDecimals,         // "Rate 1.25x"
  kWhole,               // "Tempo 25%", "Echo Delay 350ms"
  kSurroundOrBinaural,  // "3D Mode: 5.1 Surround" from 0.5 up, else "3D Mode: Binaural"
  kOnOff,               // "3D Rear Speaker: On" from 0.5 up, else "... Off"
};

// What a step past either end does.
enum class StepEnd {
  kClamp,   // stays at the end
  kWrap,    // goes round the circle (a rotation in degrees)
  kToggle,  // flips between the two values of a 0/1 choice
};

struct EffectParameter {
  int id;
  std::string_view name;  // spoken as it stands, never translated
  std::string_view unit;  // appended when speaking
  float minimum;
  float maximum;
  float step;
  float default_value;
  int group;        // kStreamEffectGroup, or the DSP effect index 0-7
  int reverb_kind;  // reverb rows: the reverb algorithm (1-3) they belong to; 0 otherwise
  // The switch that puts the row in the cycle list: the stream effect's switch or the DSP
  // effect's on-flag. Null for the reverb rows, which follow [Effects] ReverbAlgorithm.
  bool Settings::*switch_flag;
  // Where the live value is kept when it is not the effect_values array: the playback values.
  SharedFloat Settings::*live_value;
  SpokenForm spoken;
  StepEnd step_end;
};

std::span<const EffectParameter> EffectParameterTable();
// The row of `id`, or null for an id outside 0-37.
const EffectParameter* FindEffectParameter(int id);

// The limits and step in force, which for the volume depend on the settings: its maximum is 4
// with [Playback] AllowAmplify and 1 otherwise, its step is [Playback] VolumeStep.
float ParameterMaximum(const EffectParameter& row);
float ParameterStep(const EffectParameter& row);

}  // namespace kestrel
