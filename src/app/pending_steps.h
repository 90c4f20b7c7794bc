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
bool IsPlaylistFile(const std::string& path);  // false until playlist files can be read
std::vector<std::string> ReadPlaylistFile(const std::string& path);
// Replaces the playlist by the playable files of the file's folder; -1 while not built.
int LoadFolderOf(const std::string& file);
void LoadPlaybackState();

// window creation
void CreateStatusBar(QMainWindow& window);
void OpenDatabase();
void RegisterHotkeys();
void PlayItem(int index, bool play);
void RefreshStatusLine();
void StartUpdateCheck();
void StartYtDlpVersionCheck();

// shutdown
void RemoveTrayIcon();
void UnregisterHotkeys();
void StopRecording();
bool IsStreamOpen();
void SaveCurrentPosition();
void SavePlaybackState();
void CloseDatabase();
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
void BuildRecentMenu();
bool IsVideoLoaded();
bool IsVideoFullscreen();
void HidePointerInFullscreen();
int UserHotkeyAction(int hotkey_id);  // action index, or -1

// Tests can see which pending steps ran, with their arguments ("PlayItem 0 1").
void RecordCallsForTesting(bool on);
std::vector<std::string> TakeRecordedCalls();

}  // namespace kestrel::pending
