#pragma once

#include <string>
#include <vector>

// Steps of start-up, window creation, shutdown and message handling that belong to parts of the
// player still to be built. Each one logs once that it is not built yet and does nothing else:
// nothing here pretends to play, save or show anything. As each part lands, its real function
// replaces the entry here.
namespace kestrel::pending {

// start
void RegisterAllFileTypes();
void TidyYouTubeState();            // leftovers deleted, search results dropped, cache limit

// window creation
void RegisterHotkeys();
void StartUpdateCheck();
void StartYtDlpVersionCheck();

// shutdown
void UnregisterHotkeys();
void StopRecording();
void ShutdownVideoEngine();
bool ClearCacheOnExit();
void ClearYouTubeCache();

// messages and timers
void ActivateYouTubeEffects(const std::string& video_id);
void OnYouTubePageReady();
void OnDownloadFinished(unsigned long long id, bool success);
void ShowUpdateResult();
void InstallUpdate();
void CheckScheduledEvents();
void EndScheduledEvent();
bool IsVideoLoaded();
bool IsVideoFullscreen();
void HidePointerInFullscreen();
int UserHotkeyAction(int hotkey_id);  // action index, or -1

// What the status line and title read from the video engine and the recorder. Until they land
// they answer "nothing": no video position or title, not recording.
struct VideoPlayback {
  double position = 0;   // seconds
  double duration = 0;   // seconds, 0 when unknown
  bool playing = false;
  bool paused = false;
  std::string media_title;
};
VideoPlayback CurrentVideoPlayback();
bool IsRecording();

// Tests can see which pending steps ran, with their arguments ("PlayItem 0 1").
void RecordCallsForTesting(bool on);
std::vector<std::string> TakeRecordedCalls();

}  // namespace kestrel::pending
