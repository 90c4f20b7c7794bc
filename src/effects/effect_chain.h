#pragma once

// The chain of effects on the heard stream (ThePlayerState().output_stream). Its last stage is
// the volume: a DSP hook that scales every sample by the volume squared (0 while muted), or,
// with [Advanced] LegacyVolume, the channel's own volume attribute. User-interface thread only.
namespace kestrel {

// The volume stage runs after every other stage of the chain.
inline constexpr int kVolumeStagePriority = -2000000000;

// Creates every stage that is switched on and not yet running on the current output stream.
// Called after a new output stream exists and its rate is set, and whenever a stage is switched
// on. Nothing happens without a current output stream.
void ApplyEffectChain();

// Removes every running stage from the stream it runs on. Called before that stream is stopped
// and freed, when playback stops, and before the output device is switched. What is switched on
// stays on, so the next ApplyEffectChain builds the same chain.
void RemoveEffectChain();

// Brings the volume stage of the current output stream in line with [Advanced] LegacyVolume:
// with it, no volume hook runs and the channel's volume attribute is 0 while muted, else the
// volume squared; without it, the volume hook runs and the attribute stays at 1 (so the volume
// is never applied twice after LegacyVolume was switched). Nothing happens without a current
// output stream. Part of ApplyEffectChain; also for callers that changed the volume, mute or
// LegacyVolume.
void ApplyVolumeStage();

}  // namespace kestrel
