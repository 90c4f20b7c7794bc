#include "effects/effect_parameter_table.h"

namespace kestrel {
namespace {

using S = Settings;
using enum SpokenForm;
using enum StepEnd;

// A stream effect: in the cycle list when its [Effects] switch is on; the value is a playback
// value of [Playback].
constexpr EffectParameter Stream(int id, std::string_view name, std::string_view unit, float min,
                                 float max, float step, float default_value, bool S::*switch_flag,
                                 SharedFloat S::*live_value, SpokenForm spoken) {
  return {id,  name,        unit,       min,    max,   step, default_value, kStreamEffectGroup,
          0,   switch_flag, live_value, spoken, kClamp};
}

// A reverb parameter: in the cycle list while the reverb runs with the algorithm it belongs to.
constexpr EffectParameter Reverb(int id, std::string_view name, std::string_view unit, float min,
                                 float max, float step, float default_value, int reverb_kind) {
  return {id, name, unit, min, max, step, default_value, kReverbGroup, reverb_kind, nullptr,
          nullptr, kWhole, kClamp};
}

// A parameter of DSP effect `group` (1-7): in the cycle list while that effect is on.
constexpr EffectParameter Dsp(int id, std::string_view name, std::string_view unit, float min,
                              float max, float step, float default_value, int group,
                              SpokenForm spoken = kWhole, StepEnd step_end = kClamp) {
  return {id,    name, unit, min, max, step, default_value, group, 0, kDspEffectFlags[group],
          nullptr, spoken, step_end};
}

constexpr EffectParameter kTable[] = {
    Stream(0, "Volume", "%", 0, 4, 0.02f, 1, &S::effects_volume, &S::playback_volume,
           kPercentOfFraction),
    Stream(1, "Pitch", " semitones", -12, 12, 1, 0, &S::effects_pitch, &S::playback_pitch, kSigned),
    Stream(2, "Tempo", "%", -75, 200, 5, 0, &S::effects_tempo, &S::playback_tempo, kWhole),
    Stream(3, "Rate", "x", 0.25f, 4, 0.01f, 1, &S::effects_rate, &S::playback_rate, kTwoDecimals),
    // Reverb: 4-6 Freeverb, 7-9 DX8, 10-13 I3DL2.
    Reverb(4, "Reverb Mix", "%", 0, 100, 5, 30, 1),
    Reverb(5, "Reverb Room", "%", 0, 100, 5, 50, 1),
    Reverb(6, "Reverb Damp", "%", 0, 100, 5, 50, 1),
    Reverb(7, "DX8 Reverb Time", "ms", 1, 3000, 100, 1000, 2),
    Reverb(8, "DX8 HF Ratio", "", 0.001f, 0.999f, 0.1f, 0.5f, 2),
    Reverb(9, "DX8 Reverb Mix", "dB", -96, 0, 3, -10, 2),
    Reverb(10, "I3DL2 Room", "mB", -10000, 0, 500, -1000, 3),
    Reverb(11, "I3DL2 Decay", "s", 0.1f, 20, 0.5f, 1.49f, 3),
    Reverb(12, "I3DL2 Diffusion", "%", 0, 100, 5, 100, 3),
    Reverb(13, "I3DL2 Density", "%", 0, 100, 5, 100, 3),
    // Echo
    Dsp(14, "Echo Delay", "ms", 10, 2000, 50, 300, 1),
    Dsp(15, "Echo Feedback", "%", 0, 90, 5, 40, 1),
    Dsp(16, "Echo Mix", "%", 0, 100, 5, 30, 1),
    // EQ
    Dsp(17, "EQ Preamp", "dB", -15, 0, 1, 0, 2),
    Dsp(18, "EQ Bass", "dB", -15, 15, 1, 0, 2, kSigned),
    Dsp(19, "EQ Mid", "dB", -15, 15, 1, 0, 2, kSigned),
    Dsp(20, "EQ Treble", "dB", -15, 15, 1, 0, 2, kSigned),
    // Compressor
    Dsp(21, "Comp Threshold", "dB", -60, 0, 3, -20, 3),
    Dsp(22, "Comp Ratio", ":1", 1, 20, 1, 4, 3),
    Dsp(23, "Comp Attack", "ms", 0.01f, 500, 10, 20, 3),
    Dsp(24, "Comp Release", "ms", 10, 2000, 50, 200, 3),
    Dsp(25, "Comp Gain", "dB", -20, 20, 1, 0, 3),
    // Stereo width, center cancel
    Dsp(26, "Stereo Width", "%", 0, 200, 10, 100, 4),
    Dsp(27, "Center Cancel", "%", -100, 100, 10, 0, 5),
    // Convolution reverb
    Dsp(28, "Conv Mix", "%", 0, 100, 5, 50, 6),
    Dsp(29, "Conv Gain", "dB", -20, 20, 1, 0, 6),
    // 3D audio
    Dsp(30, "3D Blend", "%", 0, 100, 5, 100, 7),
    Dsp(31, "3D Width", " deg", 15, 90, 5, 45, 7),
    Dsp(32, "3D Rotation", " deg", -180, 180, 5, 0, 7, kWhole, kWrap),
    Dsp(33, "3D Mode", "", 0, 1, 1, 0, 7, kSurroundOrBinaural, kToggle),
    Dsp(34, "3D Rear Speaker", "", 0, 1, 1, 1, 7, kOnOff, kToggle),
    Dsp(35, "3D Listener X", "", -50, 50, 1, 0, 7),
    Dsp(36, "3D Listener Y", "", -50, 50, 1, 0, 7),
    Dsp(37, "3D Listener Z", "", -50, 50, 1, 0, 7),
};

static_assert(std::size(kTable) == kEffectParameterCount);

// The id of every row is its position: FindEffectParameter indexes the table by id.
constexpr bool IdsArePositions() {
  for (int i = 0; i < kEffectParameterCount; ++i) {
    if (kTable[i].id != i) return false;
  }
  return true;
}
static_assert(IdsArePositions());

}  // namespace

std::span<const EffectParameter> EffectParameterTable() { return kTable; }

const EffectParameter* FindEffectParameter(int id) {
  if (id < 0 || id >= kEffectParameterCount) return nullptr;
  return &kTable[id];
}

float ParameterMaximum(const EffectParameter& row) {
  if (row.id == kParamVolume) return TheSettings().allow_amplify ? row.maximum : 1.0f;
  return row.maximum;
}

float ParameterStep(const EffectParameter& row) {
  if (row.id == kParamVolume) return TheSettings().volume_step;
  return row.step;
}

}  // namespace kestrel
