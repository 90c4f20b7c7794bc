#pragma once

// The volume and mute of what plays (volume up and down, mute). The level itself is applied by
// the volume stage of the effect chain (effects/effect_chain.h): with [Advanced] LegacyVolume on
// as the output stream's volume attribute (the square of the volume, 0 while muted), which is
// set again here on every change; otherwise by the chain's last hook, which reads [Playback]
// Volume and PlayerState::muted on the mixing thread. User-interface thread only.
namespace kestrel {

// The highest volume the user may set: 4 with [Playback] AllowAmplify on, else 1.
float VolumeLimit();

// Stores `volume` clamped to [0, VolumeLimit()] in [Playback] Volume, hands it to the video
// engine while a video plays, applies it to the output stream with LegacyVolume on (mute kept),
// speaks "Volume N%" when [Speech] Volume is on, and refreshes the display.
void SetVolume(float volume);
// Volume plus or minus [Playback] VolumeStep (the volume up and down commands).
void VolumeUp();
void VolumeDown();

// Flips mute, hands it to the video engine while a video plays, applies it with LegacyVolume on,
// speaks "Muted" or "Unmuted" and refreshes the display.
void ToggleMute();

}  // namespace kestrel
