#include <string>
#include <utility>

#include "audio/audio.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "effects/effect_chain.h"
#include "engine/chapter_store.h"
#include "engine/display_refresh.h"
#include "engine/media_item.h"
#include "engine/open_errors.h"
#include "engine/open_media.h"
#include "engine/open_steps.h"
#include "engine/pending_media_hooks.h"
#include "engine/player_state.h"
#include "engine/url_open_attempts.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

using open_steps::ShowOpenMessage;

bool& LastOpenWasCancelled() {
  static bool cancelled = false;
  return cancelled;
}

// Runs on the layer's sync thread: only posts.
void PostStreamTitle(audio::Handle, audio::Handle) { PostToUi(kMsgStreamTitle); }
void PostDownloadComplete(audio::Handle, audio::Handle channel) {
  RequestChaptersAfterDownload(channel);
}

// Holds the playlist's opening guard while the connection attempts run, so that navigation asked
// for meanwhile (the window keeps answering keys) is refused instead of opening a second item.
class OpeningGuard {
 public:
  OpeningGuard() : held_(!ThePlaylist().opening) { ThePlaylist().opening = true; }
  ~OpeningGuard() {
    if (held_) ThePlaylist().opening = false;
  }
  OpeningGuard(const OpeningGuard&) = delete;
  OpeningGuard& operator=(const OpeningGuard&) = delete;

 private:
  bool held_;
};

UrlOpenOutcome ConnectOffUiThread(const std::string& url) {
  OpeningGuard guard;
  return CreateUrlSource(url);
}

bool FailUrlOpen(PlayerState& state, bool silent, std::string message) {
  state.source_channel = 0;
  state.loading = false;
  if (!silent && !message.empty()) ShowOpenMessage(std::move(message), MessageIcon::Error);
  RefreshPlaybackDisplay();
  return false;
}

}  // namespace

bool OpenUrl(const std::string& url, bool silent) {
  LastOpenWasCancelled() = false;
  if (!IsSupportedStreamUrl(url)) {
    // Shown even to silent callers: the address itself is wrong.
    ShowOpenMessage(Translate("Only http:// and https:// URLs are supported."),
                    MessageIcon::Warning);
    return false;
  }
  if (IsVideoEngineAvailable() && IsYouTubeAddress(url)) return OpenVideoUrl(url);

  PlayerState& state = ThePlayerState();
  state.loading = true;
  CancelYouTubeHandOff();
  open_steps::StopVideoIfPlaying(state);
  open_steps::CloseAudio(state);
  RefreshPlaybackDisplay();

  const UrlOpenOutcome outcome = ConnectOffUiThread(url);
  if (outcome.cancelled) {
    LastOpenWasCancelled() = true;
    return FailUrlOpen(state, silent, {});
  }
  if (outcome.source == 0) {
    return FailUrlOpen(state, silent, UrlErrorMessage(url, outcome.error));
  }
  const audio::Handle source = outcome.source;

  open_steps::TakeSourceFacts(state, source);
  state.meta_sync = audio::SetSync(source, audio::SyncType::kMeta, false, PostStreamTitle);
  state.is_live = audio::GetLength(source) <= 0;

  // Internet streams always play through SoundTouch; a live one keeps its own tempo (it cannot
  // run ahead of what the station sends).
  const audio::Handle output = open_steps::CreateTempoOutput(
      kTempoAlgorithmSoundTouch, source, state.sample_rate, !state.is_live);
  if (output == 0) {
    audio::RemoveSync(source, state.meta_sync);
    audio::FreeStream(source);
    state.meta_channel = 0;
    state.meta_sync = 0;
    return FailUrlOpen(state, silent, Translate("Failed to create tempo stream for URL."));
  }
  state.output_stream = output;
  state.source_channel = 0;  // the SoundTouch stream owns its source

  const float rate = TheSettings().playback_rate;
  if (rate != 1.0f && !state.is_live) {
    audio::SetAttribute(output, audio::Attribute::kFrequency, rate * state.sample_rate);
  }
  audio::SetAttribute(output, audio::Attribute::kBufferFill, 1.0f);
  ApplyEffectChain();
  state.end_sync = open_steps::SetEndSync(output);

  if (!state.is_live) {
    ReadChapters(state.meta_channel, url);
    state.download_sync = audio::SetSync(state.meta_channel, audio::SyncType::kDownloadComplete,
                                         true, PostDownloadComplete);
  }

  if (!audio::Play(output, false)) {
    const int error = audio::LastError();
    open_steps::CloseAudio(state);
    return FailUrlOpen(state, silent, UrlErrorMessage(url, error));
  }
  state.source_kind = SourceKind::kAudio;
  state.video_loaded = false;
  open_steps::OpenedItem() = url;
  state.loading = false;
  RefreshPlaybackDisplay();
  return true;
}

bool OpenWasCancelled() { return LastOpenWasCancelled(); }

}  // namespace kestrel
