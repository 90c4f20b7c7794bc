#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

#include "app/command_dispatch.h"
#include "app/command_line_items.h"
#include "app/command_ids.h"
#include "app/menu_bar.h"
#include "app/pending_steps.h"
#include "app/shell_state.h"
#include "app/status_line.h"
#include "app/tray_icon.h"
#include "app/window_title.h"
#include "base/tick_clock.h"
#include "base/ui_messages.h"
#include "diag/logger.h"
#include "effects/effect_parameters.h"
#include "bookmarks/positions.h"
#include "engine/audio_output.h"
#include "engine/chapter_store.h"
#include "engine/display_refresh.h"
#include "engine/stream_metadata.h"
#include "engine/transport_hooks.h"
#include "engine/url_open_attempts.h"
#include "playlist/folder_scan.h"
#include "playlist/navigation.h"
#include "playlist/playback_state.h"
#include "playlist/playlist_manager_dialog.h"
#include "playlist/playlist.h"
#include "playlist/recent_menu.h"
#include "playlist/replace_playlist.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "storage/database.h"
#include "ui/message_box.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct PostedMessageEvent : QEvent {
  explicit PostedMessageEvent(PostedMessage posted) : QEvent(kPostedMessageEvent), message(std::move(posted)) {}
  PostedMessage message;
};

constexpr std::uint32_t kDirectHandOverWindowMs = 300;

// With "load the whole folder" on, one file brings its folder's playable files and plays from it.
void PlayFolderOf(const std::string& file) {
  std::vector<std::string> folder;
  const int index = LoadFolderOf(file, folder);
  ReplacePlaylist(std::move(folder), index);
}

}  // namespace

MainWindow::MainWindow() {
  setObjectName(QStringLiteral("KestrelWindow"));
  setWindowTitle(QStringLiteral("Kestrel"));
  setAccessibleName(QStringLiteral("Kestrel"));
  resize(500, 150);
  setFocusPolicy(Qt::StrongFocus);
  BuildMenuBar(*this, [](int command) { DispatchCommand(command); });
  for (QAction* popup : menuBar()->actions()) {
    if (QMenu* menu = popup->menu()) {
      connect(menu, &QMenu::aboutToShow, this, [this] {
        BuildRecentMenu(*menuBar(), TheSettings().recent_files, [](int id) { DispatchCommand(id); });
      });
    }
  }
}

MainWindow::~MainWindow() {
  if (Shell().main_window == this) {
    ClearUiMessageSink();
    Shell().main_window = nullptr;
  }
}

bool MainWindow::Create() {
  Shell().main_window = this;
  SetUiMessageSink([this](PostedMessage message) {
    QCoreApplication::postEvent(this, new PostedMessageEvent(std::move(message)));
  });
  SetTrackSkipper(SkipPlaylistTracks);
  SetPlaybackDisplayRefresh([] {
    RefreshWindowTitle();
    RefreshStatusLine();
  });

  CreateStatusBar(*this);

  video_surface_ = new QWidget(this);
  video_surface_->setObjectName(QStringLiteral("video_surface"));
  video_surface_->setAccessibleName(QStringLiteral("Video"));
  video_surface_->setAutoFillBackground(true);
  video_surface_->setStyleSheet(QStringLiteral("background: black"));
  video_surface_->setGeometry(0, 0, 100, 100);
  video_surface_->hide();

  if (!InitAudioOutput(this)) return false;
  if (OpenDatabase()) {
    InstallPositionSaving();
  } else {
    // Speech is not enabled yet at this step: the reason is shown, and the player runs without
    // positions, bookmarks and the other lists.
    ShowMessageBox(this, {DatabaseOpenFailureMessage(), "Kestrel", MessageIcon::Warning});
  }
  InitEffectParameterDefaults();
  LoadEffectSettings();
  EnableSpeechQueue();
  pending::RegisterHotkeys();
  SetShuffleChecked(TheSettings().shuffle);
  RelabelMenu(*this);

  SetTimer(kTimerStatusLine, 250);
  SetTimer(kTimerSchedule, 60000);
  Shell().start_tick = TickCount();

  Playlist& playlist = ThePlaylist();
  if (TheSettings().load_folder && playlist.items.size() == 1) {
    PlayFolderOf(playlist.items.front());
  } else if (!playlist.items.empty()) {
    PlayItem(0, true);
  }
  RefreshStatusLine();
  if (TheSettings().check_for_updates) pending::StartUpdateCheck();
  pending::StartYtDlpVersionCheck();
  created_ = true;
  return true;
}

void MainWindow::AbandonCreation() {
  for (auto& [id, timer] : timers_) timer->stop();
  UninstallPositionSaving();
  CloseDatabase();
  FreeAudioOutput();
  ShutdownSpeech();
  SetPlaybackDisplayRefresh(nullptr);
  SetTrackSkipper(nullptr);
  ClearUiMessageSink();
  Shell().main_window = nullptr;
  destroyed_ = true;
}

void MainWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  for (int id : {kTimerStatusLine, kTimerSchedule, kTimerScheduledEnd, kTimerHandOver, kTimerHidePointer}) KillTimer(id);
  if (created_) {
    RemoveTrayIcon();
    pending::UnregisterHotkeys();
    pending::StopRecording();
    SaveCurrentItemPosition();
    if (!SavePlaybackState()) LogText("SESSION", "the session could not be saved at exit");
    if (!SaveSettings()) LogText("SETTINGS", "settings could not be saved at exit");
    pending::TidyYouTubeState();
    UninstallPositionSaving();
    CloseDatabase();
    pending::ShutdownVideoEngine();
  }
  StopLogger();
  FreeAudioOutput();
  if (pending::ClearCacheOnExit()) pending::ClearYouTubeCache();
  ShutdownSpeech();
  SetPlaybackDisplayRefresh(nullptr);
  SetTrackSkipper(nullptr);
  ClearUiMessageSink();
  Shell().main_window = nullptr;
  QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (UrlOpenPending()) {
    // An internet stream is still connecting, inside a nested wait further down the stack:
    // call it off and close once that wait has returned.
    CancelPendingUrlOpen();
    event->ignore();
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  Destroy();
  event->accept();
}

void MainWindow::SetTimer(int id, int milliseconds, bool single_shot) {
  QTimer*& timer = timers_[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
  }
  timer->setSingleShot(single_shot);
  timer->start(milliseconds);
}

void MainWindow::KillTimer(int id) {
  if (auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

bool MainWindow::IsTimerActive(int id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

void MainWindow::OnTimer(int id) {
  switch (id) {
    case kTimerStatusLine:
      RefreshStatusLine();
      ReplaceWithWaitingList();  // a list chosen while an opening that no playlist call made ran
      break;
    case kTimerHandOver:
      KillTimer(kTimerHandOver);
      TakeHandOverList();
      break;
    case kTimerSchedule:
      pending::CheckScheduledEvents();
      break;
    case kTimerScheduledEnd:
      KillTimer(kTimerScheduledEnd);
      pending::EndScheduledEvent();
      break;
    case kTimerHidePointer:
      KillTimer(kTimerHidePointer);
      pending::HidePointerInFullscreen();
      break;
    default:
      break;
  }
}

void MainWindow::ComeToFront() {
  if (isHidden()) show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::OnHandOver(const HandOverFrame& frame) {
  if (frame.code == kHandOverToFront) {
    ComeToFront();
    return;
  }
  if (!IsAcceptableItem(frame.path)) return;
  const Settings& settings = TheSettings();
  Playlist& playlist = ThePlaylist();
  const std::uint32_t since_start = TickCount() - Shell().start_tick;
  const std::vector<std::string> items = ExpandItem(frame.path);
  if (!settings.disable_batch_delay && since_start < kDirectHandOverWindowMs && !playlist.items.empty()) {
    // One multiple selection started as several processes: join the first process's files.
    playlist.items.insert(playlist.items.end(), items.begin(), items.end());
    return;
  }
  Shell().hand_over.insert(Shell().hand_over.end(), items.begin(), items.end());
  SetTimer(kTimerHandOver, settings.disable_batch_delay ? 0 : 300, true);
}

void MainWindow::TakeHandOverList() {
  std::vector<std::string>& hand_over = Shell().hand_over;
  if (hand_over.empty()) return;
  if (TheSettings().load_folder && hand_over.size() == 1) {
    PlayFolderOf(hand_over.front());
  } else {
    // The item being left saves its position before the list is replaced.
    ReplacePlaylist(std::move(hand_over), 0);
  }
  hand_over.clear();
  if (TheSettings().bring_to_front) ComeToFront();
}

void MainWindow::SetShuffleChecked(bool checked) {
  if (QAction* shuffle = FindMenuAction(*this, cmd::kShuffle)) shuffle->setChecked(checked);
}

void MainWindow::customEvent(QEvent* event) {
  if (event->type() != kPostedMessageEvent) return QMainWindow::customEvent(event);
  HandlePosted(static_cast<PostedMessageEvent*>(event)->message);
}

void MainWindow::HandlePosted(PostedMessage& message) {
  switch (message.message) {
    case kMsgCommand:
      DispatchCommand(static_cast<int>(message.wparam & 0xFFFF), message.lparam);
      break;
    case kMsgDrainSpeech:
      DrainSpeechQueue();
      break;
    case kMsgChaptersDownloaded:
      ReadChaptersAfterDownload(static_cast<audio::Handle>(message.lparam));
      break;
    case kMsgStreamTitle:
      OnStreamMetadata();
      RefreshWindowTitle();
      break;
    case kMsgCurrentItemChanged:
      NotifyPlaylistManager();
      break;
    case kMsgYouTubeCached:
      if (auto* id = dynamic_cast<TextPayload*>(message.payload.get())) pending::ActivateYouTubeEffects(id->text);
      break;
    case kMsgYouTubePage:
      pending::OnYouTubePageReady();
      break;
    case kMsgTrayIcon:
      OnTrayIconMessage(*this, message.lparam);
      break;
    case kMsgDownloadFinished:
      pending::OnDownloadFinished(message.wparam, message.lparam != 0);
      break;
    case kMsgUpdateOffer:
      if (message.payload) pending::ShowUpdateResult();
      break;
    case kMsgRunInstaller:
      pending::InstallUpdate();
      break;
    default:
      break;
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (video_surface_) {
    const int bar = statusBar()->isVisible() ? statusBar()->height() : 0;
    const int top = menuBar()->isVisible() ? menuBar()->height() : 0;
    video_surface_->setGeometry(0, top, width(), height() - top - bar);
  }
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && TheSettings().minimize_to_tray) {
    // Hidden once the minimising has finished, not in the middle of it.
    QMetaObject::invokeMethod(this, [this] {
      if (isMinimized() && TheSettings().minimize_to_tray) HideToTray(*this);
    }, Qt::QueuedConnection);
  }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (pending::IsVideoFullscreen()) {
    unsetCursor();
    SetTimer(kTimerHidePointer, 3000, true);
  }
  QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && pending::IsVideoLoaded()) {
    PostCommand(cmd::kFullscreen);
    return;
  }
  QMainWindow::mouseDoubleClickEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && pending::IsVideoLoaded()) {
    QMenu* menu = BuildVideoContextMenu(this, [](int command) { DispatchCommand(command); });
    menu->exec(event->globalPosition().toPoint());
    menu->deleteLater();
    return;
  }
  QMainWindow::mouseReleaseEvent(event);
}

}  // namespace kestrel
