#pragma once

// The values of the effect parameters (ids in effect_parameter_table.h) and the one setter that
// clamps, stores and applies them. User-interface thread only; the audio callbacks read the
// stored values, which are relaxed atomics, without a lock.
namespace kestrel {

// The current value: ids 0-3 from the playback values of the settings ([Playback] Volume, Pitch,
// Tempo, Rate), ids 4-37 from the settings' effect_values array; any other id 0.
float GetEffectParameter(int id);

// Clamps `value` to the parameter's range (the volume to 1 without [Playback] AllowAmplify),
// stores it in effect_values[id] and applies it:
//   0 Volume  [Playback] Volume; with [Advanced] LegacyVolume the playing channel's volume
//             attribute (0 while muted, else the volume squared); otherwise the volume stage of
//             the effect chain reads the value as it plays.
//   1 Pitch   [Playback] Pitch, and the playing tempo processor (live streams too).
//   2 Tempo   [Playback] Tempo, and the playing tempo processor unless the stream is live.
//   3 Rate    [Playback] Rate, and the playing channel's frequency (rate × the source's sample
//             rate) unless the stream is live.
//   4-37      stored for the DSP effects, which read them from the array.
// Ids outside 0-37 and values that are not numbers (NaN, infinities) are ignored.
void SetEffectParameter(int id, float value);

// Every parameter's default into effect_values (0-3: 1, 0, 0, 1), and Volume the current
// parameter again. Main-window creation, before the [DSPEffects] and [DSPParams] load. The
// playback values of ids 0-3 are the settings load's, and are left alone.
void InitEffectParameterDefaults();

}  // namespace kestrel
