#include "effects/effect_parameters.h"

#include <cmath>

#include "audio/audio.h"
#include "effects/effect_chain.h"
#include "effects/effect_cycling.h"
#include "effects/effect_parameter_table.h"
#include "engine/player_state.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

// The tempo processor of the playing channel, or null when nothing plays through one.
TempoProcessor* PlayingTempoProcessor() {
  if (ThePlayerState().output_stream == 0) return nullptr;
  TempoProcessor& processor = GetTempoProcessor();
  return processor.IsActive() ? &processor : nullptr;
}

// Hands a new value to whatever plays. Nothing is applied while no channel exists: opening
// media hands tempo, pitch and rate to the new channel and builds the chain from the stored
// values.
void ApplyToPlayback(int id, float value) {
  const PlayerState& state = ThePlayerState();
  switch (id) {
    case kParamVolume:
      // With the legacy volume the channel's own volume carries it; otherwise the volume stage
      // reads the stored value on the mixing thread and nothing more is needed.
      if (TheSettings().legacy_volume) ApplyVolumeStage();
      break;
    case kParamPitch:
      if (TempoProcessor* processor = PlayingTempoProcessor()) processor->SetPitch(value);
      break;
    case kParamTempo:
      if (state.is_live) break;  // a live stream plays at its own pace
      if (TempoProcessor* processor = PlayingTempoProcessor()) processor->SetTempo(value);
      break;
    case kParamRate:
      if (state.output_stream == 0 || state.is_live) break;
      audio::SetAttribute(state.output_stream, audio::Attribute::kFrequency,
                          value * state.sample_rate);
      break;
    default:
      // Ids 4-37 are read from the array by the DSP effects. Handing a new value to a running
      // reverb, echo, EQ or compressor, and the 3D mode and rear-speaker switches to the 3D
      // processor, arrives with those effects in the DSP effect chain.
      break;
  }
}

}  // namespace

float GetEffectParameter(int id) {
  const EffectParameter* row = FindEffectParameter(id);
  if (!row) return 0.0f;
  const Settings& settings = TheSettings();
  return row->live_value ? (settings.*row->live_value).load() : settings.effect_values[id].load();
}

void SetEffectParameter(int id, float value) {
  const EffectParameter* row = FindEffectParameter(id);
  // A value that is not a number would pass every clamp and reach the audio thread.
  if (!row || !std::isfinite(value)) return;
  value = value < row->minimum ? row->minimum : std::fmin(value, ParameterMaximum(*row));

  Settings& settings = TheSettings();
  settings.effect_values[id] = value;
  if (row->live_value) settings.*row->live_value = value;
  ApplyToPlayback(id, value);
}

void InitEffectParameterDefaults() {
  Settings& settings = TheSettings();
  for (const EffectParameter& row : EffectParameterTable()) {
    settings.effect_values[row.id] = row.default_value;
  }
  SetCurrentEffectParameter(kParamVolume);
}

}  // namespace kestrel
