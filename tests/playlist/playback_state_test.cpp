#include "playlist/playback_state.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/transport.h"
#include "playlist/navigation_fixture.h"
#include "playlist/recent_command.h"
#include "storage/settings.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

using test::Heard;

class PlaybackStateTest : public test::NavigationTest {
 protected:
  // The settings file as a fresh start would find it.
  void WriteSettingsFile(const std::string& text) {
    std::filesystem::create_directories(SettingsFilePath().parent_path());
    std::ofstream(SettingsFilePath(), std::ios::binary | std::ios::trunc) << text;
  }
  // As if the program had exited and started again.
  void Restart() {
    CloseMedia();
    ThePlaylist() = Playlist{};
    ThePlayerState() = PlayerState{};
  }
};

TEST_F(PlaybackStateTest, TheSessionComesBackWithItsItemAndPosition) {
  FillPlaylist(3, 130);
  const std::vector<std::string> items = ThePlaylist().items;
  TheSettings().remember_state = true;
  PlayItem(1, false);
  SeekTo(125.5);
  ASSERT_TRUE(SavePlaybackState());

  const std::string file = test::ReadWholeFile(SettingsFilePath());
  for (const char* line : {"TrackCount=3", "CurrentTrack=1", "LastPosition=125.50"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
  }
  EXPECT_NE(file.find("LastFile=" + items[1]), std::string::npos);

  Restart();
  ASSERT_TRUE(LoadPlaybackState());
  EXPECT_EQ(ThePlaylist().items, items);
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(OpenedPath(), items[1]);
  EXPECT_NEAR(Position(), 125.5, 0.3);
  EXPECT_EQ(Now(), Heard::kPlaying);
}

TEST_F(PlaybackStateTest, RememberStateOffEmptiesTheSessionAndRestoresNothing) {
  FillPlaylist(2, 5);
  TheSettings().remember_state = true;
  PlayItem(1, true);
  ASSERT_TRUE(SavePlaybackState());
  TheSettings().remember_state = false;
  ASSERT_TRUE(SavePlaybackState());

  const std::string file = test::ReadWholeFile(SettingsFilePath());
  EXPECT_EQ(file.find("Track0="), std::string::npos) << file;
  for (const char* line : {"TrackCount=0", "CurrentTrack=0", "LastPosition=0", "LastFile="}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
  }
  Restart();
  EXPECT_FALSE(LoadPlaybackState());
  EXPECT_TRUE(ThePlaylist().items.empty());
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
}

TEST_F(PlaybackStateTest, SavedFilesAreReadBackAsTheyWereWritten) {
  const std::string a = Tone("a.wav", 5);
  const std::string b = Tone("b.wav", 5);
  struct Case {
    const char* name;
    std::string state;
    std::vector<std::string> items;
    int current;
    bool plays;
  };
  const std::vector<Case> cases = {
      {"empty tracks are skipped, the index checked against what remains",
       "[State]\nTrackCount=3\nCurrentTrack=2\n[Playlist]\nTrack0=" + a + "\nTrack1=\nTrack2=" + b + "\n",
       {a, b}, 0, true},
      {"a negative index becomes 0",
       "[State]\nTrackCount=2\nCurrentTrack=-1\n[Playlist]\nTrack0=" + a + "\nTrack1=" + b + "\n",
       {a, b}, 0, true},
      {"no list: the last file alone",
       "[State]\nTrackCount=0\nLastFile=" + b + "\nLastPosition=2.5\n", {b}, 0, true},
      {"nothing saved", "[State]\nTrackCount=0\nLastFile=\n", {}, -1, false},
      {"a restored item that fails stays in the list",
       "[State]\nTrackCount=2\nCurrentTrack=1\n[Playlist]\nTrack0=" + a + "\nTrack1=" + temp_.path().string() +
           "/missing.mp3\n",
       {a, temp_.path().string() + "/missing.mp3"}, 1, false},
  };
  TheSettings().remember_state = true;
  for (const Case& c : cases) {
    Restart();
    WriteSettingsFile(c.state);
    EXPECT_EQ(LoadPlaybackState(), c.plays) << c.name;
    EXPECT_EQ(ThePlaylist().items, c.items) << c.name;
    EXPECT_EQ(ThePlaylist().current_index, c.current) << c.name;
    EXPECT_EQ(Now(), c.plays ? Heard::kPlaying : Heard::kStopped) << c.name;
  }
}

TEST_F(PlaybackStateTest, TheLastPositionIsAppliedOnlyToAFile) {
  const std::string b = Tone("b.wav", 5);
  TheSettings().remember_state = true;
  WriteSettingsFile("[State]\nTrackCount=1\nCurrentTrack=0\nLastFile=" + b +
                    "\nLastPosition=2.50\n[Playlist]\nTrack0=" + b + "\n");
  ASSERT_TRUE(LoadPlaybackState());
  EXPECT_NEAR(Position(), 2.5, 0.3);
}

TEST_F(PlaybackStateTest, ARecentEntryReplacesThePlaylistAndPlays) {
  FillPlaylist(3, 5);
  PlayItem(0, true);
  PlayItem(2, true);
  ASSERT_EQ(TheSettings().recent_files.size(), 2u);
  const std::string older = TheSettings().recent_files[1];

  EXPECT_TRUE(OpenRecentFile(1));
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{older});
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedPath(), older);
  EXPECT_EQ(TheSettings().recent_files.front(), older) << "played again, it moves to the front";

  EXPECT_FALSE(OpenRecentFile(2));
  EXPECT_FALSE(OpenRecentFile(-1));
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{older});
}

}  // namespace
}  // namespace kestrel
