#pragma once

// The volume as the chain's last stage applies it. The gain is read on the mixing thread from
// the live volume ([Playback] Volume) and the player's mute flag, both relaxed atomics.
namespace kestrel {

// 0 while muted, else the volume squared (a fraction 0-1, or up to 4 with amplification, so the
// gain reaches 16).
float VolumeStageGain();

// The volume hook: multiplies every sample by VolumeStageGain(); at a gain of exactly 1 the
// buffer is left as it is. Runs on the mixing thread: no allocation, no lock.
void VolumeDsp(float* samples, int frames, int channels, int sample_rate);

}  // namespace kestrel
