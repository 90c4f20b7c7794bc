#include "engine/pending_media_hooks.h"

#include <mutex>
#include <set>
#include <string_view>

#include "diag/logger.h"

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

double RestorePosition(const std::string&) {
  LogMissingOnce("remembered positions");
  return 0;
}

void ReadChapters(audio::Handle) { LogMissingOnce("chapters"); }

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
