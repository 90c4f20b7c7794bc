#include "engine/pending_media_hooks.h"

#include <string_view>

#include "bookmarks/position_rules.h"
#include "diag/logger.h"
#include "diag/not_built.h"
#include "engine/player_state.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "engine/chapter_store.h"

namespace kestrel {
double RestorePosition(const std::string& item) {
  const int minutes = TheSettings().remember_pos_minutes;
  if (minutes <= 0 || ThePlayerState().output_stream == 0) return 0;
  const TempoProcessor& processor = GetTempoProcessor();
  if (!processor.IsActive()) return 0;
  return RememberedPositionFor(item, processor.GetLengthSeconds(), minutes);
}

void ReadChapters(audio::Handle channel, const std::string& item) {
  ReadChaptersAtOpen(channel, item);
}

void CancelYouTubeHandOff() { LogNotBuiltOnce("YouTube hand-off"); }

bool IsVideoEngineAvailable() {
  LogNotBuiltOnce("video engine");
  return false;
}

std::string VideoEngineLoadError() { return {}; }

bool OpenVideoFile(const std::string&) {
  LogNotBuiltOnce("video engine");
  return false;
}

bool OpenVideoUrl(const std::string&) {
  LogNotBuiltOnce("video engine");
  return false;
}

void StopVideoPlayback() { LogNotBuiltOnce("video engine"); }

}  // namespace kestrel
