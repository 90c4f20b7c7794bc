#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <set>
#include <thread>

#include "app/command_ids.h"
#include "app/key_tables.h"
#include "app/main_window_fixture.h"
#include "app/menu_bar.h"
#include "app/status_line.h"
#include "base/app_paths.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "speech/speech.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

using ShellTest = MainWindowTest;

std::vector<QAction*> AllMenuActions(QWidget& window) {
  std::vector<QAction*> actions;
  std::vector<QMenu*> menus;
  for (QAction* top : window.findChild<QMenuBar*>()->actions()) menus.push_back(top->menu());
  while (!menus.empty()) {
    QMenu* menu = menus.back();
    menus.pop_back();
    for (QAction* action : menu->actions()) {
      actions.push_back(action);
      if (action->menu()) menus.push_back(action->menu());
    }
  }
  return actions;
}

TEST_F(ShellTest, MenuBarCarriesTheLabelsWithTheirShortcutText) {
  const std::pair<int, const char*> labels[] = {
      {cmd::kOpen, "&Open...\tCtrl+O"},       {cmd::kOptions, "O&ptions...\tCtrl+,"},
      {cmd::kExit, "E&xit\tAlt+F4"},          {cmd::kPlayPause, "Play/Pause\tSpace"},
      {cmd::kVolumeUp, "Volume &Up\tUp"},      {cmd::kSpeakTotal, "Speak &Total\tCtrl+Shift+T"},
      {cmd::kCycleSubtitles, "Cycle &Subtitles"}, {cmd::kManual, "&Manual\tF1"},
      {cmd::kAuditLayout, "Audit dialog &layout..."},
  };
  for (const auto& [id, label] : labels) {
    QAction* action = FindMenuAction(*window, id);
    ASSERT_TRUE(action) << id;
    EXPECT_EQ(action->text().toStdString(), label);
  }
  QStringList titles;
  for (QAction* top : window->menuBar()->actions()) titles << top->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Playback", "&Video", "&Help"}));
  auto* recent = window->findChild<QMenu*>(QStringLiteral("recent_files"));
  ASSERT_TRUE(recent);
  ASSERT_EQ(recent->actions().size(), 1);
  EXPECT_EQ(recent->actions().front()->text(), QStringLiteral("(Empty)"));
  EXPECT_FALSE(recent->actions().front()->isEnabled());
}

TEST_F(ShellTest, EveryMenuItemHasAnAccessibleName) {
  for (QAction* top : window->menuBar()->actions()) {
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(top->menu());
    ASSERT_TRUE(menu);
    for (int i = 0; i < menu->childCount(); ++i) {
      QAccessibleInterface* item = menu->child(i);
      if (item->role() == QAccessible::Separator) continue;
      EXPECT_FALSE(item->text(QAccessible::Name).trimmed().isEmpty()) << top->text().toStdString() << " item " << i;
    }
  }
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window->menuBar());
  ASSERT_TRUE(bar);
  for (int i = 0; i < bar->childCount(); ++i) EXPECT_FALSE(bar->child(i)->text(QAccessible::Name).isEmpty());
}

TEST_F(ShellTest, EveryCommandAKeyMenuOrHotkeyCanSendHasARoute) {
  std::set<int> ids;
  for (const AcceleratorRow& row : Accelerators()) ids.insert(row.command);
  for (const PositionKeyRow& row : PositionKeys()) ids.insert(row.command);
  for (const ActionRow& row : Actions()) ids.insert(row.command);
  for (QAction* action : AllMenuActions(*window)) {
    if (action->objectName().startsWith("id_")) ids.insert(action->objectName().mid(3).toInt());
  }
  for (int id : ids) EXPECT_TRUE(FindCommandRoute(id)) << "command " << id << " goes nowhere";
}

TEST_F(ShellTest, ActionTableKeepsTheStoredOrder) {
  ASSERT_EQ(ActionCount(), 39);
  const std::tuple<int, int, const char*> spots[] = {
      {0, 201, "Play/Pause"}, {16, 214, "Speak Now Playing"}, {33, 702, "Toggle Window"},
      {38, 218, "Toggle Mute"},
  };
  for (const auto& [index, command, name] : spots) {
    EXPECT_EQ(ActionCommand(index), command);
    EXPECT_STREQ(ActionName(index), name);
  }
  EXPECT_EQ(ActionCommand(39), 0);
  EXPECT_EQ(ActionCommand(-1), 0);
}

TEST_F(ShellTest, ShuffleFlipsTheSettingTheCheckMarkAndSavesAtOnce) {
  DispatchCommand(cmd::kShuffle);
  EXPECT_TRUE(TheSettings().shuffle);
  EXPECT_TRUE(FindMenuAction(*window, cmd::kShuffle)->isChecked());
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Shuffle on"});
  EXPECT_NE(ReadWholeFile(SettingsFilePath()).find("Shuffle=1"), std::string::npos);

  DispatchCommand(cmd::kShuffle);
  EXPECT_FALSE(FindMenuAction(*window, cmd::kShuffle)->isChecked());
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Shuffle off"});
  EXPECT_NE(ReadWholeFile(SettingsFilePath()).find("Shuffle=0"), std::string::npos);
}

TEST_F(ShellTest, ReadmeAndManualOpenTheDocumentsOrSayWhyNot) {
  DispatchCommand(cmd::kReadme);
  DispatchCommand(cmd::kManual);
  SetLanguage("fr");
  DispatchCommand(cmd::kManual);
  SetLanguage("en");
  const auto docs = ExecutableDir() / "docs";
  EXPECT_EQ(opened, (std::vector<std::filesystem::path>{docs / "readme.txt", docs / "manual_en.html", docs / "manual_fr.html"}));
  EXPECT_TRUE(boxes.empty());

  open_succeeds = false;
  DispatchCommand(cmd::kReadme);
  DispatchCommand(cmd::kManual);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Readme");
  EXPECT_EQ(boxes[0].text, "Could not open readme.txt. Make sure the docs folder is present beside the kestrel program.");
  EXPECT_EQ(boxes[0].icon, MessageIcon::Warning);
  EXPECT_EQ(boxes[1].caption, "Manual");
}

TEST_F(ShellTest, CommandsNotBuiltYetOnlyLeaveALogLine) {
  DispatchCommand(cmd::kOptions);
  DispatchCommand(cmd::kPresetLoadFirst + 3);
  DispatchCommand(4242);  // unknown: ignored
  EXPECT_TRUE(Spoken().empty());
  EXPECT_TRUE(boxes.empty());
  const std::string log = ReadWholeFile(LogPath());
  EXPECT_NE(log.find("[COMMAND] 103 (options dialog): not built yet"), std::string::npos);
  EXPECT_NE(log.find("[COMMAND] 7003 (load an effect preset): not built yet"), std::string::npos);
  EXPECT_EQ(log.find("4242"), std::string::npos);
}

TEST_F(ShellTest, WorkerThreadsReachTheWindowThroughPostedMessages) {
  std::thread worker([] {
    Speak("from a worker");
    PostCommand(cmd::kKeyboardHelp);
    PostToUi(kMsgYouTubeCached, 0, 0, std::make_unique<TextPayload>("dQw4w9WgXcQ"));
    PostToUi(kMsgDownloadFinished, 7, 1);
  });
  worker.join();
  // The drain message was posted before the command, so the command's answer is a new utterance.
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"from a worker", "Keyboard help on"}));
  EXPECT_EQ(commands, std::vector<int>{cmd::kKeyboardHelp});
  const auto calls = pending::TakeRecordedCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "ActivateYouTubeEffects dQw4w9WgXcQ"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "OnDownloadFinished 7 1"), calls.end());
}

TEST_F(ShellTest, TimersRunAtTheirPeriods) {
  EXPECT_TRUE(window->IsTimerActive(kTimerStatusLine));
  EXPECT_TRUE(window->IsTimerActive(kTimerSchedule));
  EXPECT_FALSE(window->IsTimerActive(kTimerHandOver));
  const std::uint64_t refreshes_before = StatusLineRefreshCount();
  RunEventLoopFor(600);  // the status line refreshes every 250 ms; the schedule check is a minute away
  const std::uint64_t refreshes = StatusLineRefreshCount() - refreshes_before;
  int schedule_checks = 0;
  for (const std::string& call : pending::TakeRecordedCalls()) schedule_checks += call == "CheckScheduledEvents";
  EXPECT_GE(refreshes, 2u);
  EXPECT_LE(refreshes, 3u);
  EXPECT_EQ(schedule_checks, 0);
}

TEST_F(ShellTest, VideoContextMenuOffersTheVideoCommands) {
  std::vector<int> chosen;
  QMenu* menu = BuildVideoContextMenu(window.get(), [&](int id) { chosen.push_back(id); });
  QStringList labels;
  for (QAction* action : menu->actions()) {
    labels << (action->isSeparator() ? QStringLiteral("-") : action->text());
    if (!action->isSeparator()) action->trigger();
  }
  EXPECT_EQ(labels, (QStringList{"Fullscreen\tF11", "-", "Cycle Subtitles", "Load Subtitle File...", "Cycle Audio Track",
                                 "Cycle Aspect Ratio", "-", "Take Screenshot"}));
  EXPECT_EQ(chosen, (std::vector<int>{1200, 1201, 1202, 1240, 1270, 1280}));
  delete menu;
}

TEST_F(ShellTest, MediaHotkeysPostTheirCommands) {
  for (int id : {0x7F00, 0x7F01, 0x7F02, 0x7F03}) DispatchHotkey(id);
  Settle();
  EXPECT_EQ(commands, (std::vector<int>{cmd::kPlayPause, cmd::kStop, cmd::kPrevious, cmd::kNext}));
}

TEST_F(ShellTest, ExitRunsTheShutdownOrderAndSavesTheSettings) {
  std::filesystem::remove(SettingsFilePath());
  DispatchCommand(cmd::kExit);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Shell().main_window, nullptr);
  EXPECT_FALSE(HasUi());
  const auto calls = pending::TakeRecordedCalls();
  const auto position = [&](const char* step) { return std::find(calls.begin(), calls.end(), step) - calls.begin(); };
  EXPECT_LT(position("UnregisterHotkeys"), position("StopRecording"));
  EXPECT_LT(position("StopRecording"), position("TidyYouTubeState"));
  EXPECT_LT(position("TidyYouTubeState"), position("ShutdownVideoEngine"));
  EXPECT_TRUE(std::filesystem::exists(SettingsFilePath()));
  const std::string log = ReadWholeFile(LogPath());
  EXPECT_NE(log.rfind("[EXIT] Kestrel logger stopped"), std::string::npos);
}

TEST_F(ShellTest, AFailedCreationSavesNothing) {
  window->close();
  window.reset();
  std::filesystem::remove(SettingsFilePath());
  pending::TakeRecordedCalls();

  MainWindow failed;
  ASSERT_TRUE(failed.Create());
  failed.AbandonCreation();
  failed.close();
  const auto calls = pending::TakeRecordedCalls();
  EXPECT_EQ(std::find(calls.begin(), calls.end(), "SavePlaybackState"), calls.end());
  EXPECT_FALSE(std::filesystem::exists(SettingsFilePath()));
}

}  // namespace
}  // namespace kestrel::test
