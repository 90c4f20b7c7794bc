#include "engine/pending_media_hooks.h"

#include <mutex>
#include <set>
#include <string_view>

#include "bookmarks/position_rules.h"
#include "diag/logger.h"
#include "engine/player_state.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "engine/chapter_store.h"

namespace kestrel {
namespace {

void LogMissingOnce(std::string_view what) {
  static std::mutex mutex;
  static std::set<std::string, std::less<>> logged;
  std::lock_guard lock(mutex);
  if (logged.insert(std::string(what)).second) {
    LogFormat("PENDING", "%.*s: not built yet", static_cast<int>(what.size()), what.data());
  }
}

}  // namespace

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

void CancelYouTubeHandOff() { LogMissingOnce("YouTube hand-off"); }

bool IsVideoEngineAvailable() {
  LogMissingOnce("video engine");
  return false;
}

std::string VideoEngineLoadError() { return {}; }

bool OpenVideoFile(const std::string&) {
  LogMissingOnce("video engine");
  return false;
}

void StopVideoPlayback() { LogMissingOnce("video engine"); }

}  // namespace kestrel
