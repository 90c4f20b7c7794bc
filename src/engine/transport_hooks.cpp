#include "engine/transport_hooks.h"

#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "diag/logger.h"
#include "engine/chapter_seek.h"
#include "engine/chapter_store.h"

namespace kestrel {
namespace {

// Playlist moves, chapters and the video engine are not built yet: each hook does nothing and
// logs that once.
void LogMissingOnce(std::string_view what) {
  static std::mutex mutex;
  static std::set<std::string, std::less<>> logged;
  std::lock_guard lock(mutex);
  if (logged.insert(std::string(what)).second) {
    LogFormat("PENDING", "%.*s: not built yet", static_cast<int>(what.size()), what.data());
  }
}

}  // namespace

namespace {
std::function<void(int)>& TrackSkipper() {
  static std::function<void(int)> skipper;
  return skipper;
}
}  // namespace

void SetTrackSkipper(std::function<void(int)> skipper) { TrackSkipper() = std::move(skipper); }

void SkipTracks(int count) {
  if (TrackSkipper()) {
    TrackSkipper()(count);
    return;
  }
  LogMissingOnce("skipping tracks");
}

bool CurrentItemHasChapters() { return HasChapters(); }
void PreviousChapter() { GoToPreviousChapter(); }
void NextChapter() { GoToNextChapter(); }

void ToggleVideoPause() { LogMissingOnce("video transport"); }
void SeekVideoBy(double) { LogMissingOnce("video transport"); }
void SeekVideoTo(double) { LogMissingOnce("video transport"); }
double VideoPositionSeconds() {
  LogMissingOnce("video transport");
  return 0;
}
void SetVideoVolume(float) { LogMissingOnce("video transport"); }
void SetVideoMute(bool) { LogMissingOnce("video transport"); }
void RestoreAudioWindowSize() { LogMissingOnce("video transport"); }

}  // namespace kestrel
