#include "engine/transport.h"

#include <algorithm>
#include <cmath>

#include "audio/audio.h"
#include "engine/display_refresh.h"
#include "engine/open_steps.h"
#include "engine/pending_media_hooks.h"
#include "engine/player_state.h"
#include "engine/time_text.h"
#include "engine/transport_hooks.h"
#include "engine/url_open_attempts.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

bool IsVideo(const PlayerState& state) { return state.source_kind == SourceKind::kVideo; }

bool OpeningAnItem(const PlayerState& state) {
  return state.loading || ThePlaylist().opening;
}

// The audio layer no longer knows the output stream (freed behind the player's back, e.g. by a
// device that went away): both handles are forgotten, nothing is freed. True when it was stale.
bool ForgetStaleOutput(PlayerState& state) {
  if (audio::IsActive(state.output_stream) != audio::ActiveState::kStopped ||
      audio::LastError() != audio::kErrorHandle) {
    return false;
  }
  state.output_stream = 0;
  state.source_channel = 0;
  return true;
}

// The processor with a working stream of known length, or nullptr.
TempoProcessor* SeekableProcessor() {
  TempoProcessor& processor = GetTempoProcessor();
  if (!processor.IsActive() || !(processor.GetLengthSeconds() > 0)) return nullptr;
  return &processor;
}

void MoveWithinItem(TempoProcessor& processor, double seconds) {
  processor.SetPositionSeconds(std::clamp(seconds, 0.0, processor.GetLengthSeconds()));
}

// The processor whose times may be spoken, or nullptr (no audio, or video).
const TempoProcessor* SpeakableProcessor() {
  const PlayerState& state = ThePlayerState();
  if (IsVideo(state) || state.output_stream == 0) return nullptr;
  const TempoProcessor& processor = GetTempoProcessor();
  return processor.IsActive() ? &processor : nullptr;
}

}  // namespace

double CurrentPositionSeconds() {
  if (IsVideo(ThePlayerState())) return VideoPositionSeconds();
  const TempoProcessor& processor = GetTempoProcessor();
  return processor.IsActive() ? processor.GetPositionSeconds() : 0.0;
}

void Pause() {
  PlayerState& state = ThePlayerState();
  if (IsVideo(state)) {
    ToggleVideoPause();
    RefreshPlaybackDisplay();
    return;
  }
  if (state.output_stream == 0) return;
  if (state.is_live) {
    Speak(Translate("Cannot pause live stream"));
    return;
  }
  audio::Pause(state.output_stream);

  const int rewind_ms = TheSettings().rewind_on_pause_ms;
  if (rewind_ms > 0 && !OpeningAnItem(state) && !ForgetStaleOutput(state)) {
    if (TempoProcessor* processor = SeekableProcessor()) {
      MoveWithinItem(*processor, processor->GetPositionSeconds() - rewind_ms / 1000.0);
    }
  }
  RefreshPlaybackDisplay();
}

void Stop() {
  PlayerState& state = ThePlayerState();
  // An internet stream still connecting is called off; nothing else is open then.
  if (CancelPendingUrlOpen()) return;
  if (IsVideo(state)) {
    StopVideoPlayback();
    RestoreAudioWindowSize();
    state.source_kind = SourceKind::kNothing;
    state.video_loaded = false;
  } else if (state.output_stream != 0 && state.is_live) {
    // A live stream cannot resume where it stopped: it is closed whole, and playing again opens
    // the item afresh.
    open_steps::CloseAudio(state);
  } else if (state.output_stream != 0) {
    audio::Stop(state.output_stream);
    TempoProcessor& processor = GetTempoProcessor();
    if (processor.IsActive()) processor.SetPositionSeconds(0);
  }
  RefreshPlaybackDisplay();
}

void SeekBy(double seconds) {
  if (!std::isfinite(seconds)) return;
  PlayerState& state = ThePlayerState();
  if (IsVideo(state)) {
    SeekVideoBy(seconds);
    RefreshPlaybackDisplay();
    return;
  }
  if (state.output_stream == 0 || OpeningAnItem(state)) return;
  if (ForgetStaleOutput(state)) return;
  if (TempoProcessor* processor = SeekableProcessor()) {
    MoveWithinItem(*processor, processor->GetPositionSeconds() + seconds);
    RefreshPlaybackDisplay();
  }
}

void SeekTo(double seconds) {
  if (std::isnan(seconds)) return;
  PlayerState& state = ThePlayerState();
  if (IsVideo(state)) {
    SeekVideoTo(seconds);
    RefreshPlaybackDisplay();
    return;
  }
  if (state.output_stream == 0) return;
  // Without a known length there is nowhere to go (a live stream): no seek to 0 either.
  if (TempoProcessor* processor = SeekableProcessor()) {
    MoveWithinItem(*processor, seconds);
    RefreshPlaybackDisplay();
  }
}

void SeekToBeginning() { SeekTo(0); }

void SpeakElapsed() {
  if (const TempoProcessor* processor = SpeakableProcessor()) {
    Speak(TimeText(processor->GetPositionSeconds()));
  }
}

void SpeakRemaining() {
  if (const TempoProcessor* processor = SpeakableProcessor()) {
    Speak(TimeText(std::max(0.0, processor->GetLengthSeconds() - processor->GetPositionSeconds())));
  }
}

void SpeakTotal() {
  if (const TempoProcessor* processor = SpeakableProcessor()) {
    Speak(TimeText(processor->GetLengthSeconds()));
  }
}

}  // namespace kestrel
