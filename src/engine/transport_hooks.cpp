#include "engine/transport_hooks.h"

#include <string>
#include <string_view>

#include "diag/logger.h"
#include "diag/not_built.h"
#include "engine/chapter_seek.h"
#include "engine/chapter_store.h"

namespace kestrel {
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
  LogNotBuiltOnce("skipping tracks");
}

bool CurrentItemHasChapters() { return HasChapters(); }
void PreviousChapter() { GoToPreviousChapter(); }
void NextChapter() { GoToNextChapter(); }

void ToggleVideoPause() { LogNotBuiltOnce("video transport"); }
void SeekVideoBy(double) { LogNotBuiltOnce("video transport"); }
void SeekVideoTo(double) { LogNotBuiltOnce("video transport"); }
double VideoPositionSeconds() {
  LogNotBuiltOnce("video transport");
  return 0;
}
void SetVideoVolume(float) { LogNotBuiltOnce("video transport"); }
void SetVideoMute(bool) { LogNotBuiltOnce("video transport"); }
void RestoreAudioWindowSize() { LogNotBuiltOnce("video transport"); }

}  // namespace kestrel
