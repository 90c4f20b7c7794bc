#include "app/menu_bar.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <span>

#include "app/command_ids.h"
#include "i18n/translate.h"

namespace kestrel {
namespace {

constexpr int kSeparator = 0;
constexpr int kRecentSubmenu = -1;

struct MenuEntry {
  const char* label;  // shortcut text after a tab, as the menu shows it
  int command;        // kSeparator or kRecentSubmenu for the two special rows
};

struct PopupMenu {
  const char* title;
  std::span<const MenuEntry> entries;
};

constexpr MenuEntry kFileMenu[] = {
    {"&Open...\tCtrl+O", cmd::kOpen},
    {"Add &Folder...\tCtrl+Shift+O", cmd::kAddFolder},
    {"&Playlist...\tCtrl+P", cmd::kPlaylist},
    {"Open &URL...\tCtrl+U", cmd::kOpenUrl},
    {"Paste from clip&board\tCtrl+V", cmd::kPaste},
    {"&YouTube...\tCtrl+Y", cmd::kYouTube},
    {"&Radio...\tCtrl+R", cmd::kRadio},
    {"&Add Stream to Favorites...\tCtrl+D", cmd::kAddStreamToFavorites},
    {"&Podcasts...\tCtrl+Shift+P", cmd::kPodcasts},
    {"&Schedule...\tCtrl+S", cmd::kSchedule},
    {"Song &History...\tCtrl+Shift+H", cmd::kSongHistory},
    {nullptr, kSeparator},
    {"Recent &Files", kRecentSubmenu},
    {nullptr, kSeparator},
    {"&Hide to Tray\tCtrl+H", cmd::kHideToTray},
    {nullptr, kSeparator},
    {"O&ptions...\tCtrl+,", cmd::kOptions},
    {nullptr, kSeparator},
    {"E&xit\tAlt+F4", cmd::kExit},
};

constexpr MenuEntry kPlaybackMenu[] = {
    {"&Play\tX", cmd::kPlay},
    {"Pa&use\tC", cmd::kPause},
    {"Play/Pause\tSpace", cmd::kPlayPause},
    {"&Stop\tV", cmd::kStop},
    {nullptr, kSeparator},
    {"P&revious\tZ", cmd::kPrevious},
    {"&Next\tB", cmd::kNext},
    {nullptr, kSeparator},
    {"S&huffle\tH", cmd::kShuffle},
    {"R&epeat\tE", cmd::kRepeat},
    {nullptr, kSeparator},
    {"Seek &Backward\tLeft", cmd::kSeekBackward},
    {"Seek &Forward\tRight", cmd::kSeekForward},
    {"&Beginning\tHome", cmd::kBeginning},
    {"&Jump to Time...\tJ", cmd::kJumpToTime},
    {nullptr, kSeparator},
    {"Volume &Up\tUp", cmd::kVolumeUp},
    {"Volume &Down\tDown", cmd::kVolumeDown},
    {nullptr, kSeparator},
    {"Speak &Elapsed\tCtrl+Shift+E", cmd::kSpeakElapsed},
    {"Speak &Remaining\tCtrl+Shift+R", cmd::kSpeakRemaining},
    {"Speak &Total\tCtrl+Shift+T", cmd::kSpeakTotal},
};

constexpr MenuEntry kVideoMenu[] = {
    {"&Fullscreen\tF11", cmd::kFullscreen},
    {nullptr, kSeparator},
    {"Cycle &Subtitles", cmd::kCycleSubtitles},
    {"&Load Subtitle File...", cmd::kLoadSubtitleFile},
    {"Subtitles &Off", cmd::kSubtitlesOff},
    {nullptr, kSeparator},
    {"Cycle &Audio Track", cmd::kCycleAudioTrack},
    {nullptr, kSeparator},
    {"Cycle Aspect &Ratio", cmd::kCycleAspectRatio},
    {nullptr, kSeparator},
    {"Take Scr&eenshot", cmd::kScreenshot},
};

constexpr MenuEntry kHelpMenu[] = {
    {"&Manual\tF1", cmd::kManual},
    {"&Readme", cmd::kReadme},
    {"Check for &Updates...", cmd::kCheckForUpdates},
    {nullptr, kSeparator},
    {"&Loaded Plugins...", cmd::kLoadedPlugins},
    {nullptr, kSeparator},
    {"&Test YouTube playback", cmd::kTestYouTube},
    {"C&lear YouTube cache...", cmd::kClearYouTubeCache},
    {nullptr, kSeparator},
    {"Audit dialog &layout...", cmd::kAuditLayout},
};

constexpr PopupMenu kMenuBar[] = {
    {"&File", kFileMenu},
    {"&Playback", kPlaybackMenu},
    {"&Video", kVideoMenu},
    {"&Help", kHelpMenu},
};

// Labels of the video context menu are translated when the menu is built.
constexpr MenuEntry kVideoContextMenu[] = {
    {"Fullscreen\tF11", cmd::kFullscreen},
    {nullptr, kSeparator},
    {"Cycle Subtitles", cmd::kCycleSubtitles},
    {"Load Subtitle File...", cmd::kLoadSubtitleFile},
    {"Cycle Audio Track", cmd::kCycleAudioTrack},
    {"Cycle Aspect Ratio", cmd::kCycleAspectRatio},
    {nullptr, kSeparator},
    {"Take Screenshot", cmd::kScreenshot},
};

QString ObjectNameFor(int command) { return QStringLiteral("id_%1").arg(command); }

void AddCommand(QMenu& menu, const QString& label, int command,
                const std::function<void(int)>& on_command) {
  QAction* action = menu.addAction(label);
  action->setObjectName(ObjectNameFor(command));
  if (command == cmd::kShuffle) action->setCheckable(true);
  QObject::connect(action, &QAction::triggered, &menu, [on_command, command] { on_command(command); });
}

void AddRecentSubmenu(QMenu& menu, const char* title) {
  QMenu* recent = menu.addMenu(QString::fromUtf8(title));
  recent->setObjectName(QStringLiteral("recent_files"));
  QAction* empty = recent->addAction(QStringLiteral("(Empty)"));
  empty->setEnabled(false);
}

}  // namespace

void BuildMenuBar(QMainWindow& window, const std::function<void(int)>& on_command) {
  QMenuBar* bar = window.menuBar();
  bar->setObjectName(QStringLiteral("menu_bar"));
  for (const PopupMenu& popup : kMenuBar) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(popup.title));
    for (const MenuEntry& entry : popup.entries) {
      if (entry.command == kSeparator) {
        menu->addSeparator();
      } else if (entry.command == kRecentSubmenu) {
        AddRecentSubmenu(*menu, entry.label);
      } else {
        AddCommand(*menu, QString::fromUtf8(entry.label), entry.command, on_command);
      }
    }
  }
}

QAction* FindMenuAction(QWidget& window, int command) {
  return window.findChild<QAction*>(ObjectNameFor(command));
}

QMenu* BuildVideoContextMenu(QWidget* parent, const std::function<void(int)>& on_command) {
  auto* menu = new QMenu(parent);
  for (const MenuEntry& entry : kVideoContextMenu) {
    if (entry.command == kSeparator) {
      menu->addSeparator();
    } else {
      AddCommand(*menu, QString::fromStdString(Translate(entry.label)), entry.command, on_command);
    }
  }
  return menu;
}

}  // namespace kestrel
