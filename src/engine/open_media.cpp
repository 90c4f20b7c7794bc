#include "engine/open_media.h"

#include "audio/audio.h"
#include "engine/display_refresh.h"
#include "effects/effect_chain.h"
#include "engine/media_item.h"
#include "engine/open_errors.h"
#include "engine/open_steps.h"
#include "engine/pending_media_hooks.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

using open_steps::ShowOpenMessage;

// A local file that fails is explained only when the playlist cannot move on to another item
// (one item, or none as during a session restore); otherwise the playlist skips it silently.
bool ShouldReportFileFailure() { return ThePlaylist().items.size() < 2; }

void ShowVideoEngineMissing(const std::string& item) {
  std::string text =
      Translate("Cannot play video file:") + "\n" + std::string(FileNameOf(item)) + "\n\n" +
      Translate("The video playback engine could not be loaded. Please reinstall Kestrel.");
  const std::string detail = VideoEngineLoadError();
  if (!detail.empty()) text += "\n\n(Technical detail: " + detail + ")";
  ShowOpenMessage(std::move(text), MessageIcon::Warning);
}

// The decoding source of a local file. MIDI files are synthesised with the SoundFont the output
// set up; with SincInterp on, at the best interpolation.
audio::Handle CreateSource(const std::string& item, const std::string& extension) {
  if (IsMidiExtension(extension)) {
    std::uint32_t flags = audio::kStreamDecode;
    if (TheSettings().sinc_interp) flags |= audio::kMidiSincInterpolation;
    return audio::CreateMidiStream(item, flags);
  }
  return audio::CreateFileStream(item, audio::kStreamDecode);
}

// The chosen algorithm, or SoundTouch when the chosen one cannot be created.
audio::Handle PutTempoProcessorInPlace(audio::Handle source, float sample_rate) {
  const int algorithm = TheSettings().tempo_algorithm;
  audio::Handle output = open_steps::CreateTempoOutput(algorithm, source, sample_rate, true);
  if (output == 0 && algorithm != kTempoAlgorithmSoundTouch) {
    output = open_steps::CreateTempoOutput(kTempoAlgorithmSoundTouch, source, sample_rate, true);
  }
  return output;
}

// Ends a failed open: nothing plays any more, and the user hears why when the playlist cannot
// move on.
bool FailOpen(PlayerState& state, std::string message) {
  open_steps::CloseAudio(state);
  state.loading = false;
  if (ShouldReportFileFailure()) ShowOpenMessage(std::move(message), MessageIcon::Error);
  RefreshPlaybackDisplay();
  return false;
}

}  // namespace

bool OpenMedia(const std::string& item) {
  if (IsUrlItem(item)) return OpenUrl(item, false);

  const std::string extension = ExtensionOf(item);
  if (IsVideoExtension(extension) && IsVideoEngineAvailable()) return OpenVideoFile(item);
  if (IsVideoOnlyExtension(extension)) {
    // Refused before anything is closed: what played keeps playing.
    ShowVideoEngineMissing(item);
    return false;
  }

  PlayerState& state = ThePlayerState();
  state.loading = true;
  CancelYouTubeHandOff();
  open_steps::StopVideoIfPlaying(state);
  open_steps::CloseAudio(state);

  const audio::Handle source = CreateSource(item, extension);
  if (source == 0) return FailOpen(state, FileErrorMessage(item, audio::LastError()));

  open_steps::TakeSourceFacts(state, source);

  const audio::Handle output = PutTempoProcessorInPlace(source, state.sample_rate);
  if (output == 0) {
    audio::FreeStream(source);
    return FailOpen(state, Translate("Failed to create tempo stream."));
  }
  state.output_stream = output;
  // SoundTouch's stream owns its source and frees it with itself; the other processors leave the
  // source to the opener.
  state.source_channel =
      GetTempoProcessor().GetAlgorithm() == kTempoAlgorithmSoundTouch ? 0 : source;

  // The playback rate plays faster and higher, on the heard stream.
  const float rate = TheSettings().playback_rate;
  if (rate != 1.0f) {
    audio::SetAttribute(output, audio::Attribute::kFrequency, rate * state.sample_rate);
  }
  ApplyEffectChain();
  state.end_sync = open_steps::SetEndSync(output);

  const double remembered = RestorePosition(item);
  if (remembered > 0) GetTempoProcessor().SetPositionSeconds(remembered);

  if (!audio::Play(output, false)) {
    // Not reported as playing when the output refuses it (no device started).
    return FailOpen(state, FileErrorMessage(item, audio::LastError()));
  }
  ReadChapters(state.meta_channel, item);

  state.source_kind = SourceKind::kAudio;
  state.video_loaded = false;
  state.is_live = false;  // a file after a live stream can be paused, sped up and resumed
  open_steps::OpenedItem() = item;
  state.loading = false;
  RefreshPlaybackDisplay();
  return true;
}

void CloseMedia() {
  PlayerState& state = ThePlayerState();
  open_steps::StopVideoIfPlaying(state);
  open_steps::CloseAudio(state);
}

const std::string& OpenedPath() { return open_steps::OpenedItem(); }

}  // namespace kestrel
