#include "effects/volume_stage.h"

#include "engine/player_state.h"
#include "storage/settings.h"

namespace kestrel {

float VolumeStageGain() {
  if (ThePlayerState().muted.load()) return 0.0f;
  const float volume = TheSettings().playback_volume.load();
  return volume * volume;
}

void VolumeDsp(float* samples, int frames, int channels, int /*sample_rate*/) {
  const float gain = VolumeStageGain();
  if (gain == 1.0f || frames <= 0 || channels <= 0) return;
  const long long count = static_cast<long long>(frames) * channels;
  for (long long i = 0; i < count; ++i) samples[i] *= gain;
}

}  // namespace kestrel
