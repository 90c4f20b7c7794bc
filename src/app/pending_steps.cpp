#include "app/pending_steps.h"

#include <mutex>
#include <utility>

#include "diag/not_built.h"
#include "engine/player_state.h"

namespace kestrel::pending {
namespace {

struct Record {
  std::mutex mutex;
  bool recording = false;
  std::vector<std::string> calls;
};
Record& TheRecord() {
  static auto* record = new Record;
  return *record;
}

// Logs the first call of each step, so a timer-driven step does not flood the log.
void NotBuilt(const std::string& step, const std::string& arguments = {}) {
  Record& record = TheRecord();
  std::lock_guard lock(record.mutex);
  if (record.recording) record.calls.push_back(arguments.empty() ? step : step + " " + arguments);
  LogNotBuiltOnce(step);
}

}  // namespace

void RecordCallsForTesting(bool on) {
  std::lock_guard lock(TheRecord().mutex);
  TheRecord().recording = on;
  TheRecord().calls.clear();
}

std::vector<std::string> TakeRecordedCalls() {
  std::lock_guard lock(TheRecord().mutex);
  return std::exchange(TheRecord().calls, {});
}

void RegisterAllFileTypes() { NotBuilt("RegisterAllFileTypes"); }
void TidyYouTubeState() { NotBuilt("TidyYouTubeState"); }

void RegisterHotkeys() { NotBuilt("RegisterHotkeys"); }
void StartUpdateCheck() { NotBuilt("StartUpdateCheck"); }
void StartYtDlpVersionCheck() { NotBuilt("StartYtDlpVersionCheck"); }

void UnregisterHotkeys() { NotBuilt("UnregisterHotkeys"); }
void StopRecording() { NotBuilt("StopRecording"); }
void ShutdownVideoEngine() { NotBuilt("ShutdownVideoEngine"); }
bool ClearCacheOnExit() { return false; }
void ClearYouTubeCache() { NotBuilt("ClearYouTubeCache"); }

void ActivateYouTubeEffects(const std::string& video_id) { NotBuilt("ActivateYouTubeEffects", video_id); }
void OnYouTubePageReady() { NotBuilt("OnYouTubePageReady"); }
void OnDownloadFinished(unsigned long long id, bool success) {
  NotBuilt("OnDownloadFinished", std::to_string(id) + (success ? " 1" : " 0"));
}
void ShowUpdateResult() { NotBuilt("ShowUpdateResult"); }
void InstallUpdate() { NotBuilt("InstallUpdate"); }
void CheckScheduledEvents() { NotBuilt("CheckScheduledEvents"); }
void EndScheduledEvent() { NotBuilt("EndScheduledEvent"); }
bool IsVideoLoaded() { return ThePlayerState().video_loaded; }
bool IsVideoFullscreen() { return ThePlayerState().fullscreen; }
void HidePointerInFullscreen() { NotBuilt("HidePointerInFullscreen"); }
// Asked four times a second: logged once, never recorded as a call.
VideoPlayback CurrentVideoPlayback() {
  LogNotBuiltOnce("CurrentVideoPlayback");
  return {};
}
bool IsRecording() {
  LogNotBuiltOnce("IsRecording");
  return false;
}
int UserHotkeyAction(int hotkey_id) { NotBuilt("UserHotkeyAction", std::to_string(hotkey_id)); return -1; }

}  // namespace kestrel::pending
