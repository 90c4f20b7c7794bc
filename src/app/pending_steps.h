#pragma once

#include <string>
#include <vector>

class QMainWindow;

// Steps of start-up, window creation, shutdown and message handling that belong to parts of the
// player still to be built. Each one logs once that it is not built yet and does nothing else:
// nothing here pretends to play, save or show anything. As each part lands, its real function
// replaces the entry here.
namespace kestrel::pending {

// start
void RegisterAllFileTypes();
void TidyYouTubeState();            // leftovers deleted, search results dropped, cache limit

// window creation
void CreateStatusBar(QMainWindow& window);
void RegisterHotkeys();
void RefreshStatusLine();
void StartUpdateCheck();
void StartYtDlpVersionCheck();

// shutdown
void RemoveTrayIcon();
void UnregisterHotkeys();
void StopRecording();
void ShutdownVideoEngine();
bool ClearCacheOnExit();
void ClearYouTubeCache();

// messages and timers
void OnStreamMetadata();
void RefreshWindowTitle();
void NotifyPlaylistManager();
void ActivateYouTubeEffects(const std::string& video_id);
void OnYouTubePageReady();
void OnTrayIconMessage(long long mouse_message);
void OnDownloadFinished(unsigned long long id, bool success);
void ShowUpdateResult();
void InstallUpdate();
void CheckScheduledEvents();
void EndScheduledEvent();
void HideToTray();
bool IsVideoLoaded();
bool IsVideoFullscreen();
void HidePointerInFullscreen();
int UserHotkeyAction(int hotkey_id);  // action index, or -1

// Tests can see which pending steps ran, with their arguments ("PlayItem 0 1").
void RecordCallsForTesting(bool on);
std::vector<std::string> TakeRecordedCalls();

}  // namespace kestrel::pending
