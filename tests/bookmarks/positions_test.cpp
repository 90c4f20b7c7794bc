// Remembered positions through the real player on the null device: saved when the playlist
// leaves a long item, restored when it is opened again, and the rule's limits.
#include <gtest/gtest.h>

#include "bookmarks/position_rules.h"
#include "bookmarks/positions.h"
#include "engine/transport.h"
#include "playlist/navigation.h"
#include "playlist/navigation_fixture.h"
#include "playlist/replace_playlist.h"
#include "storage/database.h"

namespace kestrel {
namespace {

class PositionsTest : public test::NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
    InstallPositionSaving();
    TheSettings().remember_pos_minutes = 1;
    long_ = Tone("long.wav", 70);
    short_ = Tone("short.wav", 50);
    other_ = Tone("other.wav", 2);
    ThePlaylist().items = {long_, short_, other_};
  }

  void TearDown() override {
    UninstallPositionSaving();
    CloseDatabase();
    NavigationTest::TearDown();
  }

  std::string long_, short_, other_;
};

TEST_F(PositionsTest, LeavingALongItemSavesItAndOpeningItAgainResumes) {
  PlayItem(0, true);
  SeekTo(42);
  PlayItem(2, true);  // leaving the long item
  EXPECT_NEAR(LoadPosition(long_), 42, 0.5);

  PlayItem(0, true);
  EXPECT_NEAR(Position(), 42, 0.5);
}

TEST_F(PositionsTest, ReplacingThePlaylistSavesTheItemLeft) {
  PlayItem(0, true);
  SeekTo(30);
  ASSERT_TRUE(ReplacePlaylist({other_}, 0));
  EXPECT_NEAR(LoadPosition(long_), 30, 0.5);
}

TEST_F(PositionsTest, ShortItemsAndTheSettingOffAreNeitherSavedNorRestored) {
  PlayItem(1, true);  // 50 s, under one minute
  SeekTo(20);
  PlayItem(2, true);
  EXPECT_EQ(LoadPosition(short_), 0);

  TheSettings().remember_pos_minutes = 0;
  ASSERT_TRUE(SavePosition(long_, 33));  // stored earlier, when the setting was on
  PlayItem(0, true);
  EXPECT_LT(Position(), 1);  // not restored
  SeekTo(10);
  PlayItem(2, true);
  EXPECT_EQ(LoadPosition(long_), 33);  // not saved
}

TEST_F(PositionsTest, SaveCurrentItemPositionAtExitAndOnlyForTheOpenItem) {
  PlayItem(0, true);
  SeekTo(25);
  EXPECT_TRUE(SaveCurrentItemPosition());
  EXPECT_NEAR(LoadPosition(long_), 25, 0.5);

  // The playlist points at another item than the open one: nothing is saved under its path.
  ThePlaylist().current_index = 1;
  EXPECT_FALSE(SaveCurrentItemPosition());
  EXPECT_EQ(LoadPosition(short_), 0);

  CloseMedia();
  ThePlaylist().current_index = 0;
  EXPECT_FALSE(SaveCurrentItemPosition());  // no channel open
}

TEST(PositionRulesTest, WhatIsRestored) {
  test::TempFolder folder;
  CloseDatabase();
  ASSERT_TRUE(OpenDatabaseAt(folder.path() / "Kestrel.db"));
  struct Case {
    const char* name;
    double stored;  // < 0: nothing stored
    double length;
    int minutes;
    double restored;
  } cases[] = {
      {"40-minute file at 12:30, setting 10", 750, 2400, 10, 750},
      {"9-minute file, setting 10", 300, 540, 10, 0},
      {"exactly the setting's length", 100, 600, 10, 100},
      {"stored at the end", 2400, 2400, 10, 0},
      {"stored beyond the end", 5000, 2400, 10, 0},
      {"stored 0", 0, 2400, 10, 0},
      {"nothing stored", -1, 2400, 10, 0},
      {"setting off", 750, 2400, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string path = std::string("/") + c.name;
    if (c.stored >= 0) {
      ASSERT_TRUE(SavePosition(path, c.stored));
    }
    EXPECT_EQ(RememberedPositionFor(path, c.length, c.minutes), c.restored) << c.name;
  }
  EXPECT_TRUE(RememberPositionFor("/saved", 0, 600, 10));  // any position, also 0
  EXPECT_FALSE(RememberPositionFor("/too short", 30, 599, 10));
  EXPECT_FALSE(RememberPositionFor("/off", 30, 6000, 0));
  CloseDatabase();
}

}  // namespace
}  // namespace kestrel
