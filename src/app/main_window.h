#pragma once

#include <QMainWindow>
#include <map>
#include <string>

#include "app/hand_over_frame.h"
#include "base/post_to_ui.h"

class QTimer;

namespace kestrel {

// Timer ids of the main window.
inline constexpr int kTimerStatusLine = 400;      // 250 ms, refreshes the status line
inline constexpr int kTimerHandOver = 401;        // 300 ms (0 without batch delay), one-shot
inline constexpr int kTimerSchedule = 402;        // 60 s, due scheduled events
inline constexpr int kTimerScheduledEnd = 403;    // one-shot, ends a scheduled event
inline constexpr int kTimerHidePointer = 410;     // 3 s, one-shot, full-screen pointer

// The one main window: the hub that every command, key, posted message and timer reaches.
class MainWindow : public QMainWindow {
 public:
  MainWindow();
  ~MainWindow() override;

  // Brings up what the window needs, in order. False when something essential failed (the
  // audio output); the caller then reports it and calls AbandonCreation.
  bool Create();
  // Undoes a failed creation without any of the saving that a normal shutdown does: a window
  // that never came up must not overwrite the user's session, recent files or effect settings.
  void AbandonCreation();

  // A frame from another start of Kestrel.
  void OnHandOver(const HandOverFrame& frame);

  void SetTimer(int id, int milliseconds, bool single_shot = false);
  void KillTimer(int id);
  bool IsTimerActive(int id) const;

  void SetShuffleChecked(bool checked);
  QWidget* VideoSurface() const { return video_surface_; }

 protected:
  void customEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void HandlePosted(PostedMessage& message);
  void OnTimer(int id);
  void TakeHandOverList();
  void ComeToFront();
  void Destroy();

  QWidget* video_surface_ = nullptr;
  std::map<int, QTimer*> timers_;
  bool created_ = false;
  bool destroyed_ = false;
};

}  // namespace kestrel
