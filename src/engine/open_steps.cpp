#include "engine/open_steps.h"

#include <utility>

#include "base/post_to_ui.h"
#include "effects/effect_chain.h"
#include "engine/pending_media_hooks.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel::open_steps {
namespace {

// Runs on the layer's sync thread, so it only posts. AutoAdvance and RepeatMode are read here,
// at the end of the track, so a change made while the track played counts; each is one aligned
// value the user-interface thread writes whole.
void PostNextAtEnd(audio::Handle, audio::Handle) {
  const Settings& settings = TheSettings();
  const bool stop_at_end = !settings.auto_advance && settings.repeat_mode == 0;
  PostCommand(kNextCommand, stop_at_end ? 1 : 0);
}

}  // namespace

void StopVideoIfPlaying(PlayerState& state) {
  if (state.source_kind != SourceKind::kVideo) return;
  StopVideoPlayback();
  state.video_loaded = false;
  state.source_kind = SourceKind::kNothing;
}

void CloseAudio(PlayerState& state) {
  // Syncs first, so no end of track or stream title is reported for a stream being closed.
  if (state.output_stream != 0 && state.end_sync != 0) {
    audio::RemoveSync(state.output_stream, state.end_sync);
  }
  if (state.meta_channel != 0) {
    if (state.meta_sync != 0) audio::RemoveSync(state.meta_channel, state.meta_sync);
    if (state.download_sync != 0) audio::RemoveSync(state.meta_channel, state.download_sync);
  }
  if (state.output_stream != 0) {
    RemoveEffectChain();
    audio::Stop(state.output_stream);
    audio::FreeStream(state.output_stream);  // frees the source too when it owns it
  }
  if (state.source_channel != 0) audio::FreeStream(state.source_channel);
  // The processor's stream is gone: forget the processor too, so nothing asks it for the
  // position of a freed stream. The next open makes a new one.
  DestroyTempoProcessor();

  state.output_stream = 0;
  state.source_channel = 0;
  state.meta_channel = 0;
  state.end_sync = 0;
  state.meta_sync = 0;
  state.download_sync = 0;
  state.is_live = false;
  state.bitrate_kbps = 0;
  state.sample_rate = 0;
  if (state.source_kind == SourceKind::kAudio) state.source_kind = SourceKind::kNothing;
  OpenedItem().clear();
}

void TakeSourceFacts(PlayerState& state, audio::Handle source) {
  audio::ChannelInfo info;
  audio::GetInfo(source, &info);
  state.sample_rate = static_cast<float>(info.sample_rate);
  state.meta_channel = source;
  float bitrate = 0;
  state.bitrate_kbps = audio::GetAttribute(source, audio::Attribute::kBitrate, &bitrate)
                           ? static_cast<int>(bitrate)
                           : 0;
}

audio::Handle CreateTempoOutput(int algorithm, audio::Handle source, float sample_rate,
                                bool apply_tempo) {
  SelectTempoAlgorithm(algorithm);
  DestroyTempoProcessor();
  TempoProcessor& processor = GetTempoProcessor();
  const Settings& settings = TheSettings();
  if (apply_tempo) processor.SetTempo(settings.playback_tempo);
  processor.SetPitch(settings.playback_pitch);
  return processor.Create(source, sample_rate);
}

audio::Handle SetEndSync(audio::Handle output_stream) {
  return audio::SetSync(output_stream, audio::SyncType::kEnd, false, PostNextAtEnd);
}

void ShowOpenMessage(std::string text, MessageIcon icon) {
  // No owner from here: the engine knows no window. The box is modal over the application.
  ShowMessageBox(nullptr, {std::move(text), "Kestrel", icon, MessageButtons::Ok});
}

std::string& OpenedItem() {
  static std::string item;
  return item;
}

}  // namespace kestrel::open_steps
