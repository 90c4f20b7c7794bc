// What the main window shows about playback: the three status bar parts, the window title, and
// hiding to the notification area, read from the real player state on the null device.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <cmath>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/main_window_fixture.h"
#include "app/status_line.h"
#include "app/tray_icon.h"
#include "app/window_title.h"
#include "audio/audio.h"
#include "audio/source.h"
#include "audio/support/stream_like_source.h"
#include "audio/wav_writer.h"
#include "base/ui_messages.h"
#include "base/post_to_ui.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

using namespace std::string_literals;

StatusTexts Shown() {
  RefreshStatusLine();
  return ShownStatusTexts();
}

// A window started with nothing to play.
class StatusLineIdleTest : public MainWindowTest {};

TEST_F(StatusLineIdleTest, NothingOpenedReadsNoPositionFullVolumeAndStopped) {
  EXPECT_EQ(Shown(), (StatusTexts{"--:-- / --:--", "Vol: 100%", "Stopped"}));
  EXPECT_EQ(window->windowTitle().toStdString(), "Kestrel");
}

// An internet stream with no length that names itself in its ICY headers.
std::unique_ptr<audio::Source> LiveSource() {
  using audio::TagBlock;
  return std::make_unique<StreamLikeSource>(std::map<TagBlock, std::string>{
      {TagBlock::kIcy, "ICY 200 OK\0icy-name:Radio X\0icy-br:128\0\0"s},
      {TagBlock::kMeta, "StreamTitle='Daft Punk - One More Time';StreamUrl='';"s}});
}

TEST_F(StatusLineIdleTest, ALiveStreamShowsNoLengthItsBitrateAndItsSongInTheTitle) {
  const audio::Handle channel = audio::CreateSourceStream(LiveSource(), 0);
  ASSERT_NE(channel, 0u);
  ASSERT_TRUE(audio::Play(channel, true));
  PlayerState& state = ThePlayerState();
  state.source_kind = SourceKind::kAudio;
  state.output_stream = state.meta_channel = channel;
  state.is_live = true;
  ThePlaylist().items = {"http://radio.example/live"};
  ThePlaylist().current_index = 0;

  EXPECT_EQ(Shown(), (StatusTexts{"--:-- / --:--", "Vol: 100%", "Playing | 128 kbps"}));
  RefreshWindowTitle();
  EXPECT_EQ(window->windowTitle().toStdString(), "Kestrel - Daft Punk - One More Time");
  EXPECT_EQ(window->accessibleName(), window->windowTitle()) << "a screen reader reads the title";

  // While the player opens the next item, the bar keeps what it showed.
  state.loading = true;
  audio::Pause(channel);
  EXPECT_EQ(Shown().state, "Playing | 128 kbps");
  state.loading = false;
  EXPECT_EQ(Shown().state, "Paused | 128 kbps");

  // Recording the station: the bar says so beside the bitrate.
  audio::Play(channel, false);
  SetVideoAndRecordingSourcesForTesting(nullptr, [] { return true; });
  EXPECT_EQ(Shown(), (StatusTexts{"--:-- / --:--", "Vol: 100%", "Playing | 128 kbps | REC"}));
  SetVideoAndRecordingSourcesForTesting(nullptr, nullptr);

  state = PlayerState{};
  audio::FreeStream(channel);
  EXPECT_EQ(Shown(), (StatusTexts{"--:-- / --:--", "Vol: 100%", "Stopped"}));
}

TEST_F(StatusLineIdleTest, AVideoShowsItsEnginesPositionAndState) {
  pending::VideoPlayback video;
  video.position = 65.4;
  video.duration = 180;
  video.playing = true;
  SetVideoAndRecordingSourcesForTesting([&video] { return video; }, nullptr);
  PlayerState& state = ThePlayerState();
  state.source_kind = SourceKind::kVideo;
  state.video_loaded = true;

  EXPECT_EQ(Shown(), (StatusTexts{"1:05 / 3:00", "Vol: 100%", "Playing | Video"}));
  video.playing = false;
  video.paused = true;
  EXPECT_EQ(Shown().state, "Paused | Video");
  // A stream of unknown length, stopped, while the engine still holds it.
  video = {};
  EXPECT_EQ(Shown(), (StatusTexts{"--:-- / --:--", "Vol: 100%", "Stopped | Video"}));

  SetVideoAndRecordingSourcesForTesting(nullptr, nullptr);
  state = PlayerState{};
}

TEST_F(StatusLineIdleTest, HidingToTheTrayWithoutANotificationAreaKeepsTheWindowOnTheTaskBar) {
  // The offscreen desktop has no notification area, like a bare window manager.
  SetTrayAvailableForTesting(nullptr);  // also forgets that the reason was said before
  ASSERT_FALSE(IsTrayAvailable());
  window->show();
  Settle();
  for (int twice = 0; twice < 2; ++twice) {
    DispatchCommand(cmd::kHideToTray);
    Settle();
    EXPECT_FALSE(window->isHidden()) << "a hidden window without a tray icon could not be reached";
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(IsTrayIconShown());
  }
  const std::vector<std::string> said = Spoken();
  ASSERT_EQ(said.size(), 1u) << "the reason is said once";
  EXPECT_NE(said[0].find("notification area"), std::string::npos) << said[0];

  DispatchCommand(cmd::kToggleWindow);  // a minimised window comes back
  Settle();
  EXPECT_FALSE(window->isMinimized());
  DispatchCommand(cmd::kToggleWindow);  // and goes to the task bar again
  Settle();
  EXPECT_TRUE(window->isMinimized());
  EXPECT_FALSE(window->isHidden());
  DispatchCommand(cmd::kTrayRestore);
  Settle();
  EXPECT_FALSE(window->isMinimized());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(StatusLineIdleTest, WithATrayHidingShowsOneIconThatStaysAfterRestoring) {
  SetTrayAvailableForTesting([] { return true; });
  window->show();
  Settle();
  DispatchCommand(cmd::kHideToTray);
  DispatchCommand(cmd::kHideToTray);
  EXPECT_TRUE(window->isHidden());
  EXPECT_TRUE(IsTrayIconShown());
  PostToUi(kMsgTrayIcon, 0, kTrayLeftDoubleClick);
  Settle();
  EXPECT_FALSE(window->isHidden());
  EXPECT_TRUE(IsTrayIconShown());
  DispatchCommand(cmd::kToggleWindow);
  EXPECT_TRUE(window->isHidden());
  DispatchCommand(cmd::kToggleWindow);
  EXPECT_FALSE(window->isHidden());
  RemoveTrayIcon();
  EXPECT_FALSE(IsTrayIconShown());
  SetTrayAvailableForTesting(nullptr);
}

TEST_F(StatusLineIdleTest, MinimisingWithMinimizeToTrayHidesTheWindowWhereATrayExists) {
  SetTrayAvailableForTesting([] { return true; });
  TheSettings().minimize_to_tray = true;
  window->show();
  Settle();
  window->showMinimized();
  Settle();
  EXPECT_TRUE(window->isHidden());
  EXPECT_TRUE(IsTrayIconShown());
  DispatchCommand(cmd::kTrayRestore);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isMinimized());
  RemoveTrayIcon();
  SetTrayAvailableForTesting(nullptr);
}

TEST_F(StatusLineIdleTest, TheTrayMenuOffersItsCommandsWithNames) {
  QMenu* menu = BuildTrayMenu(window.get());
  QStringList labels;
  std::vector<int> posted;
  for (QAction* action : menu->actions()) labels << (action->isSeparator() ? QStringLiteral("-") : action->text());
  EXPECT_EQ(labels, (QStringList{"&Restore", "-", "&Play/Pause", "&Stop", "P&revious", "&Next", "-", "E&xit"}));
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator()) action->trigger();
  }
  Settle();
  EXPECT_EQ(commands, (std::vector<int>{700, 201, 202, 203, 204, 701}));

  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
  ASSERT_TRUE(accessible);
  EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty());
  for (int i = 0; i < accessible->childCount(); ++i) {
    QAccessibleInterface* item = accessible->child(i);
    if (item->role() == QAccessible::Separator) continue;
    EXPECT_FALSE(item->text(QAccessible::Name).trimmed().isEmpty()) << "item " << i;
  }
  delete menu;
}

TEST_F(StatusLineIdleTest, EveryStatusBarPartIsNamedByItsTextAndDescribed) {
  RefreshStatusLine();
  const QList<QLabel*> parts = window->statusBar()->findChildren<QLabel*>();
  ASSERT_EQ(parts.size(), 3);
  const StatusTexts shown = ShownStatusTexts();
  const std::string texts[] = {shown.position, shown.volume, shown.state};
  for (int part = 0; part < 3; ++part) {
    QLabel* label = window->statusBar()->findChild<QLabel*>(QStringLiteral("status_part_%1").arg(part));
    ASSERT_TRUE(label) << part;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), texts[part]);
    EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty()) << part;
  }
  EXPECT_EQ(window->statusBar()->findChild<QLabel*>(QStringLiteral("status_part_0"))->width(), 200);
}

// A window started with a 40-second tone in its playlist, as `kestrel tone.wav` would be.
class StatusLinePlayingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    tone_ = folder_.path() / "tone.wav";
    audio::WavWriter writer;
    ASSERT_TRUE(writer.Open(tone_.string(), 44100, 2));
    std::vector<float> block(2 * 44100);
    for (int i = 0; i < 44100; ++i) block[2 * i] = block[2 * i + 1] = 0.25f * std::sin(i * 2 * M_PI * 440 / 44100);
    for (int second = 0; second < 40; ++second) ASSERT_TRUE(writer.Write(block.data(), 44100));
    ASSERT_TRUE(writer.Close());
    MainWindowTest::SetUp();
  }
  void BeforeCreate() override { ThePlaylist().items = {tone_.string()}; }

  // The state text without the bitrate that follows it.
  static std::string StateWord(const std::string& state) { return state.substr(0, state.find(" | ")); }

  TempFolder folder_;
  std::filesystem::path tone_;
};

TEST_F(StatusLinePlayingTest, PlayingPausedStoppedAndMutedAreShownAsTheyAre) {
  ASSERT_NE(ThePlayerState().output_stream, 0u);
  const StatusTexts playing = Shown();
  EXPECT_EQ(playing.position, "0:00 / 0:40");
  EXPECT_EQ(playing.volume, "Vol: 100%");
  EXPECT_EQ(StateWord(playing.state), "Playing");
  EXPECT_TRUE(std::regex_match(playing.state, std::regex("Playing( \\| [0-9]+ kbps)?"))) << playing.state;

  DispatchCommand(cmd::kPause);
  SeekTo(65.0 / 2);  // held within the 40 seconds
  EXPECT_EQ(Shown().position, "0:32 / 0:40");
  EXPECT_EQ(StateWord(Shown().state), "Paused");

  DispatchCommand(cmd::kVolumeDown);
  EXPECT_EQ(Shown().volume, "Vol: 98%");
  DispatchCommand(cmd::kMute);
  EXPECT_EQ(Shown().volume, "Vol: 98% | Muted") << "a muted player must not claim to be heard";
  DispatchCommand(cmd::kMute);
  EXPECT_EQ(Shown().volume, "Vol: 98%");

  DispatchCommand(cmd::kStop);
  const StatusTexts stopped = Shown();
  EXPECT_EQ(stopped.position, "0:00 / 0:40") << "a stopped file stays open at its start";
  EXPECT_EQ(StateWord(stopped.state), "Stopped");
}

TEST_F(StatusLinePlayingTest, TheTimerKeepsTheBarCurrent) {
  DispatchCommand(cmd::kPause);
  SeekTo(12.0);
  RunEventLoopFor(350);  // at least one tick of the 250 ms timer
  EXPECT_EQ(ShownStatusTexts().position, "0:12 / 0:40");
}

TEST_F(StatusLinePlayingTest, TheTitleNamesTheFileOfAnUntaggedTrackUnlessTurnedOff) {
  struct Case {
    const char* language;
    bool show_title;
    const char* title;
  };
  const Case cases[] = {
      {"en", true, "Kestrel - tone.wav"},
      {"fr", true, "Kestrel - tone.wav"},  // never the French "no title" text
      {"en", false, "Kestrel"},
  };
  for (const Case& c : cases) {
    SetLanguage(c.language);
    TheSettings().show_title_in_window = c.show_title;
    RefreshWindowTitle();
    EXPECT_EQ(window->windowTitle().toStdString(), c.title) << c.language << " " << c.show_title;
    EXPECT_EQ(CurrentWindowTitle(), c.title);
  }
  SetLanguage("en");
}

TEST_F(StatusLinePlayingTest, TheStatusTextsFollowTheLanguage) {
  SetLanguage("fr");
  DispatchCommand(cmd::kPause);
  const StatusTexts shown = Shown();
  EXPECT_EQ(shown.volume, "Vol: 100%");
  EXPECT_EQ(StateWord(shown.state), "En pause");
  SetLanguage("en");
}

}  // namespace
}  // namespace kestrel::test
