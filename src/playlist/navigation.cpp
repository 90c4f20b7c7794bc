#include "playlist/navigation.h"

#include <algorithm>
#include <random>
#include <string>

#include "audio/audio.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "engine/display_refresh.h"
#include "engine/media_item.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "engine/transport_hooks.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "playlist/recent_list.h"
#include "playlist/replace_playlist.h"
#include "playlist/track_announcement.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

constexpr int kMaxOpenAttempts = 10;
// Previous restarts the item instead of going back once playback is past this point.
constexpr double kRestartThresholdSeconds = 3.0;

std::function<void()>& LeaveHandler() {
  static std::function<void()> handler;
  return handler;
}

std::function<int(int)>& ShuffleDraw() {
  static std::function<int(int)> draw;
  return draw;
}

int DrawIndex(int count) {
  if (ShuffleDraw()) return ShuffleDraw()(count);
  // Seeded once per run, so shuffle does not replay the same order at every start.
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(0, count - 1)(generator);
}

int ItemCount(const Playlist& playlist) { return static_cast<int>(playlist.items.size()); }

bool IsItem(const Playlist& playlist, int index) {
  return index >= 0 && index < ItemCount(playlist);
}

bool IsVideo(const PlayerState& state) { return state.source_kind == SourceKind::kVideo; }

bool ChannelOpen(const PlayerState& state) { return state.output_stream != 0 || IsVideo(state); }

// The opener explains a failed local file only when the list cannot move on; when it can, the
// user would otherwise hear nothing while broken items are passed over.
void SayWhySkipped(const Playlist& playlist, const std::string& item) {
  if (ItemCount(playlist) < 2 || IsUrlItem(item)) return;
  Speak(Translate("Cannot play file:") + " " + std::string(FileNameOf(item)));
}

// Opens the current item without the skipping, recent files and announcement of PlayItem: Play
// and Play/Pause on an item that was closed (a stopped live stream, a failed open).
void OpenCurrentDirectly() {
  Playlist& playlist = ThePlaylist();
  if (!IsItem(playlist, playlist.current_index)) {
    if (!playlist.items.empty()) PlayItem(0, true);
    return;
  }
  const std::string item = playlist.items[static_cast<std::size_t>(playlist.current_index)];
  const bool opened = IsUrlItem(item) ? OpenUrl(item, false) : OpenMedia(item);
  const audio::Handle output = ThePlayerState().output_stream;
  if (opened && output != 0) {
    audio::Play(output, false);
    RefreshPlaybackDisplay();
  }
  ReplaceWithWaitingList();
}

void ResumeOutput(audio::Handle output) {
  audio::Play(output, false);
  RefreshPlaybackDisplay();
}

}  // namespace

void SetItemLeaveHandler(std::function<void()> handler) { LeaveHandler() = std::move(handler); }

void NotifyLeavingCurrentItem() {
  if (LeaveHandler() && ChannelOpen(ThePlayerState()) &&
      IsItem(ThePlaylist(), ThePlaylist().current_index)) {
    LeaveHandler()();
  }
}

void SetShuffleDrawForTesting(std::function<int(int)> draw) { ShuffleDraw() = std::move(draw); }

void PlayItem(int index, bool autoplay) {
  Playlist& playlist = ThePlaylist();
  if (playlist.opening || !IsItem(playlist, index)) return;
  playlist.opening = true;
  NotifyLeavingCurrentItem();

  bool opened = false;
  for (int attempt = 0; attempt < kMaxOpenAttempts; ++attempt) {
    playlist.current_index = index;
    const std::string item = playlist.items[static_cast<std::size_t>(index)];
    if (OpenMedia(item)) {
      opened = true;
      break;
    }
    // Stop pressed while an internet stream connected: the user wants nothing to play.
    if (IsUrlItem(item) && OpenWasCancelled()) break;
    SayWhySkipped(playlist, item);
    if (ItemCount(playlist) < 2 || index + 1 >= ItemCount(playlist)) break;
    ++index;
  }
  if (!opened) {
    playlist.opening = false;
    ReplaceWithWaitingList();
    return;
  }

  AddRecentFile(playlist.items[static_cast<std::size_t>(index)]);
  if (!autoplay) {
    const PlayerState& state = ThePlayerState();
    if (IsVideo(state)) {
      ToggleVideoPause();
    } else {
      audio::Pause(state.output_stream);
    }
    RefreshPlaybackDisplay();
  }
  PostToUi(kMsgCurrentItemChanged);
  if (TheSettings().track_change) AnnounceCurrentTrack();
  playlist.opening = false;
  ReplaceWithWaitingList();
}

void PlayNext(bool autoplay) {
  const Playlist& playlist = ThePlaylist();
  if (playlist.items.empty() || playlist.opening) return;
  const Settings& settings = TheSettings();
  const int count = ItemCount(playlist);
  const int current = playlist.current_index;

  if (settings.repeat_mode == 1 && IsItem(playlist, current)) {
    PlayItem(current, autoplay);
    return;
  }
  if (settings.shuffle && count >= 2) {
    int drawn = DrawIndex(count);
    while (drawn == current) drawn = DrawIndex(count);
    PlayItem(drawn, autoplay);
    return;
  }
  const int next = current + 1;
  if (next < count) {
    PlayItem(std::max(next, 0), autoplay);
  } else if (settings.repeat_mode == 2) {
    PlayItem(0, autoplay);
  } else {
    Stop();
  }
}

void PlayPrevious() {
  const Playlist& playlist = ThePlaylist();
  if (playlist.items.empty() || playlist.opening) return;
  if (ThePlayerState().output_stream != 0) {
    TempoProcessor& processor = GetTempoProcessor();
    if (processor.IsActive() && processor.GetPositionSeconds() > kRestartThresholdSeconds) {
      processor.SetPositionSeconds(0);
      RefreshPlaybackDisplay();
      return;
    }
  }
  PlayItem(std::max(playlist.current_index - 1, 0), true);
}

void SkipPlaylistTracks(int count) {
  const Playlist& playlist = ThePlaylist();
  if (playlist.items.empty() || playlist.opening) return;
  const long long wanted = static_cast<long long>(playlist.current_index) + count;
  const int target = static_cast<int>(std::clamp<long long>(wanted, 0, ItemCount(playlist) - 1));
  if (target != playlist.current_index) PlayItem(target, true);
}

void PlayCurrent() {
  const PlayerState& state = ThePlayerState();
  if (IsVideo(state)) {
    // Resuming a video is the video engine's; until it has a resume of its own, Play only
    // refreshes what the window shows.
    RefreshPlaybackDisplay();
    return;
  }
  if (state.output_stream == 0) {
    OpenCurrentDirectly();
    return;
  }
  if (audio::IsPlayingState(audio::IsActive(state.output_stream))) {
    TempoProcessor& processor = GetTempoProcessor();
    if (processor.IsActive()) processor.SetPositionSeconds(0);
  }
  ResumeOutput(state.output_stream);
}

void TogglePlayPause() {
  const PlayerState& state = ThePlayerState();
  if (IsVideo(state)) {
    ToggleVideoPause();
    RefreshPlaybackDisplay();
    return;
  }
  if (state.output_stream == 0) {
    OpenCurrentDirectly();
    return;
  }
  if (audio::IsPlayingState(audio::IsActive(state.output_stream))) {
    if (state.is_live) {
      Stop();
    } else {
      Pause();
    }
    return;
  }
  ResumeOutput(state.output_stream);
}

void CycleRepeatMode() {
  static constexpr const char* kSpoken[] = {"Repeat off", "Repeat track", "Repeat all"};
  Settings& settings = TheSettings();
  const int mode = settings.repeat_mode >= 0 && settings.repeat_mode <= 2 ? settings.repeat_mode : 0;
  settings.repeat_mode = (mode + 1) % 3;
  Speak(Translate(kSpoken[settings.repeat_mode]));
  SaveSettings();
}

bool ToggleShuffle() {
  Settings& settings = TheSettings();
  settings.shuffle = !settings.shuffle;
  Speak(Translate(settings.shuffle ? "Shuffle on" : "Shuffle off"));
  SaveSettings();
  return settings.shuffle;
}

}  // namespace kestrel
