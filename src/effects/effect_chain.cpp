#include "effects/effect_chain.h"

#include "audio/audio.h"
#include "effects/volume_stage.h"
#include "engine/player_state.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// The running stages and the stream they run on. A handle is 0 while its stage is not running.
struct EffectChainState {
  audio::Handle channel = 0;     // the stream the running stages were set on
  audio::Handle volume_dsp = 0;  // the volume hook
};

EffectChainState& Chain() {
  static EffectChainState chain;
  return chain;
}

// Drops the handles of a chain left on a stream that is no longer the heard one (removing them
// from it if it still exists), so a new stream gets a chain of its own.
void ForgetChainOnOtherStream(audio::Handle channel) {
  EffectChainState& chain = Chain();
  if (chain.channel == channel) return;
  RemoveEffectChain();
  chain.channel = channel;
}

float LegacyVolumeAttribute() {
  if (ThePlayerState().muted.load()) return 0.0f;
  const float volume = TheSettings().playback_volume.load();
  return volume * volume;
}

}  // namespace

void ApplyVolumeStage() {
  const audio::Handle channel = ThePlayerState().output_stream;
  if (channel == 0) return;
  ForgetChainOnOtherStream(channel);
  EffectChainState& chain = Chain();
  if (TheSettings().legacy_volume) {
    if (chain.volume_dsp != 0) {
      audio::RemoveDsp(channel, chain.volume_dsp);
      chain.volume_dsp = 0;
    }
    audio::SetAttribute(channel, audio::Attribute::kVolume, LegacyVolumeAttribute());
    return;
  }
  if (chain.volume_dsp != 0) return;
  audio::SetAttribute(channel, audio::Attribute::kVolume, 1.0f);
  // A refused hook leaves the handle 0; the next ApplyEffectChain tries again.
  chain.volume_dsp = audio::SetDsp(channel, VolumeDsp, kVolumeStagePriority);
}

void ApplyEffectChain() {
  const audio::Handle channel = ThePlayerState().output_stream;
  if (channel == 0) return;
  ForgetChainOnOtherStream(channel);
  // The reverb, echo, EQ and compressor effects, stereo width, center cancel, the convolution
  // reverb and 3D audio take their places before the volume when the DSP effect chain is built;
  // their parameters are already kept in the settings' effect_values.
  ApplyVolumeStage();
}

void RemoveEffectChain() {
  EffectChainState& chain = Chain();
  // The hook is removed from the stream it was set on; a stream already freed refuses cleanly.
  if (chain.volume_dsp != 0) audio::RemoveDsp(chain.channel, chain.volume_dsp);
  chain.volume_dsp = 0;
  chain.channel = 0;
}

}  // namespace kestrel
