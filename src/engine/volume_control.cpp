#include "engine/volume_control.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "effects/effect_chain.h"
#include "engine/display_refresh.h"
#include "engine/player_state.h"
#include "engine/transport_hooks.h"
#include "i18n/translate.h"
#include "speech/speech.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// "Volume %d%%" in the active language with the whole percent put in. The text comes from our own
// tables but is still not used as a printf format: only "%d" and "%%" are replaced.
std::string VolumeAnnouncement(float volume) {
  const int percent = static_cast<int>(volume * 100.0f + 0.5f);
  const std::string format = Translate("Volume %d%%");
  std::string text;
  bool number_written = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        text += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 'd' && !number_written) {
        text += std::to_string(percent);
        number_written = true;
        ++i;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

}  // namespace

float VolumeLimit() { return TheSettings().allow_amplify ? 4.0f : 1.0f; }

void SetVolume(float volume) {
  if (std::isnan(volume)) return;
  Settings& settings = TheSettings();
  settings.playback_volume = std::clamp(volume, 0.0f, VolumeLimit());
  if (ThePlayerState().source_kind == SourceKind::kVideo) SetVideoVolume(settings.playback_volume);
  if (settings.legacy_volume) ApplyVolumeStage();
  if (settings.speech_volume) Speak(VolumeAnnouncement(settings.playback_volume));
  RefreshPlaybackDisplay();
}

void VolumeUp() { SetVolume(TheSettings().playback_volume + TheSettings().volume_step); }

void VolumeDown() { SetVolume(TheSettings().playback_volume - TheSettings().volume_step); }

void ToggleMute() {
  PlayerState& state = ThePlayerState();
  state.muted = !state.muted;
  if (state.source_kind == SourceKind::kVideo) SetVideoMute(state.muted);
  if (TheSettings().legacy_volume) ApplyVolumeStage();
  Speak(Translate(state.muted ? "Muted" : "Unmuted"));
  RefreshPlaybackDisplay();
}

}  // namespace kestrel
