// Adding a bookmark (M) and jumping to one, through the real player on the null device.
#include <gtest/gtest.h>

#include "bookmarks/bookmark_commands.h"
#include "engine/transport.h"
#include "playlist/navigation.h"
#include "playlist/navigation_fixture.h"
#include "storage/database.h"

namespace kestrel {
namespace {

class BookmarkCommandsTest : public test::NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
    FillPlaylist(3, 20);
  }

  void TearDown() override {
    CloseDatabase();
    NavigationTest::TearDown();
  }

  static BookmarkEntry Bookmark(const std::string& path, double position) {
    BookmarkEntry entry;
    entry.path = path;
    entry.position = position;
    return entry;
  }
};

TEST_F(BookmarkCommandsTest, AddSaysBookmarkAddedOnlyWhenStored) {
  EXPECT_EQ(AddBookmarkAtCurrentPosition(), -1);  // no current item
  EXPECT_TRUE(Spoken().empty());

  PlayItem(1, true);
  SeekTo(12);
  const int id = AddBookmarkAtCurrentPosition();
  ASSERT_GE(id, 0);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Bookmark added"});
  const std::vector<BookmarkEntry> bookmarks = ListBookmarks();
  ASSERT_EQ(bookmarks.size(), 1u);
  EXPECT_EQ(bookmarks[0].path, ThePlaylist().items[1]);
  EXPECT_NEAR(bookmarks[0].position, 12, 0.5);

  CloseDatabase();  // the store is gone: nothing added, nothing said
  EXPECT_EQ(AddBookmarkAtCurrentPosition(), -1);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(BookmarkCommandsTest, JumpWithinTheCurrentItemSeeksWithoutReopening) {
  PlayItem(1, true);
  const audio::Handle before = ThePlayerState().output_stream;
  std::string path = ThePlaylist().items[1];
  for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(JumpToBookmark(Bookmark(path, 15)));  // letter case ignored
  EXPECT_EQ(ThePlayerState().output_stream, before);
  EXPECT_NEAR(Position(), 15, 0.5);
}

TEST_F(BookmarkCommandsTest, JumpToAnotherItemOfThePlaylistPlaysItThere) {
  PlayItem(0, true);
  EXPECT_TRUE(JumpToBookmark(Bookmark(ThePlaylist().items[2], 7)));
  EXPECT_EQ(ThePlaylist().current_index, 2);
  EXPECT_EQ(OpenedIndex(), 2);
  EXPECT_NEAR(Position(), 7, 0.5);
}

TEST_F(BookmarkCommandsTest, JumpToAFileOutsideThePlaylistReplacesIt) {
  PlayItem(0, true);
  const std::string outside = Tone("outside.wav", 20);
  EXPECT_TRUE(JumpToBookmark(Bookmark(outside, 9)));
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{outside});
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_NEAR(Position(), 9, 0.5);
}

// The bookmark's file cannot be played: the playlist moves on to the next item, which must not
// be moved to the bookmark's position.
TEST_F(BookmarkCommandsTest, AFileThatCannotBePlayedMovesNothingElse) {
  ThePlaylist().items[1] = Broken("gone.wav");
  PlayItem(0, true);
  EXPECT_FALSE(JumpToBookmark(Bookmark(ThePlaylist().items[1], 15)));
  EXPECT_NE(OpenedIndex(), 1);
  EXPECT_LT(Position(), 5);
}

}  // namespace
}  // namespace kestrel
