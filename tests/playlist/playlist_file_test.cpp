#include "playlist/playlist_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class PlaylistFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return (temp_.path() / relative).string(); }
  test::TempFolder temp_;
};

TEST_F(PlaylistFileTest, M3uEntriesResolveAgainstTheListsFolder) {
  temp_.Write("music/album/b.mp3", "");
  temp_.Write("music/album/a.ogg", "");
  temp_.Write("music/album/notes.txt", "");
  const std::string list = temp_.Write("lists/mix.m3u",
                                       "#EXTM3U\r\n#EXTINF:10,x\r\n  song.mp3  \r\n/abs/a.flac\r\n"
                                       "http://example.com/live\r\n../music/album\r\n"
                                       "mms://host/s\r\n");
  EXPECT_EQ(ReadPlaylistFile(list),
            (Items{Path("lists/song.mp3"), "/abs/a.flac", "http://example.com/live",
                   Path("lists/../music/album/a.ogg"), Path("lists/../music/album/b.mp3"),
                   "mms://host/s"}));
}

TEST_F(PlaylistFileTest, RelativeListPathStillGivesAbsoluteItems) {
  temp_.Write("lists/l.m3u8", "song.mp3\n");
  const fs::path before = fs::current_path();
  fs::current_path(temp_.path());
  const Items items = ReadPlaylistFile("lists/l.m3u8");
  fs::current_path(before);
  EXPECT_EQ(items, Items{Path("lists/song.mp3")});
}

TEST_F(PlaylistFileTest, WindowsSeparatorsAreTakenOnlyWhenThatFileExists) {
  temp_.Write("lists/Album/one.mp3", "");
  temp_.Write("lists/odd\\name.mp3", "");
  const std::string list =
      temp_.Write("lists/l.m3u", "Album\\one.mp3\nodd\\name.mp3\nGone\\two.mp3\n");
  EXPECT_EQ(ReadPlaylistFile(list), (Items{Path("lists/Album/one.mp3"), Path("lists/odd\\name.mp3"),
                                           Path("lists/Gone\\two.mp3")}));
}

TEST_F(PlaylistFileTest, PlsEntriesResolveLikeM3u) {
  const std::string list =
      temp_.Write("l.pls", "[playlist]\nFile1=a.mp3\nFile2=http://h/s\nFile4=d.mp3\n");
  EXPECT_EQ(ReadPlaylistFile(list), (Items{Path("a.mp3"), "http://h/s"}));
}

TEST_F(PlaylistFileTest, UnreadableMissingEmptyOrNamelessFilesGiveNothing) {
  EXPECT_TRUE(ReadPlaylistFile(Path("missing.m3u")).empty());
  EXPECT_TRUE(ReadPlaylistFile(temp_.Write("empty.m3u", "")).empty());
  EXPECT_TRUE(ReadPlaylistFile(temp_.Write("noextension", "a.mp3\n")).empty());
  fs::create_directory(Path("folder.m3u"));
  EXPECT_TRUE(ReadPlaylistFile(Path("folder.m3u")).empty());
  const std::string locked = temp_.Write("locked.m3u", "a.mp3\n");
  ::chmod(locked.c_str(), 0);
  if (::geteuid() != 0) {
    EXPECT_TRUE(ReadPlaylistFile(locked).empty());
  }
}

TEST_F(PlaylistFileTest, WriterPutsBomHeaderAndCrlfAndReadsBack) {
  const std::string file = Path("saved.m3u");
  const Items items = {"/music/a b.mp3", "http://h/s", "/music/caf\xC3\xA9.flac"};
  ASSERT_TRUE(WritePlaylistM3u(file, items));
  EXPECT_EQ(test::ReadWholeFile(file),
            "\xEF\xBB\xBF#EXTM3U\r\n/music/a b.mp3\r\nhttp://h/s\r\n/music/caf\xC3\xA9.flac\r\n");
  EXPECT_EQ(ReadPlaylistFile(file), items);
}

TEST_F(PlaylistFileTest, WriterLeavesOutItemsThatCannotBeOneLine) {
  const std::string file = Path("saved.m3u");
  ASSERT_TRUE(WritePlaylistM3u(file, {"/a.mp3", "/b\n/c.mp3", "/d.mp3"}));
  EXPECT_EQ(ReadPlaylistFile(file), (Items{"/a.mp3", "/d.mp3"}));
}

TEST_F(PlaylistFileTest, FailedWriteIsReportedAndKeepsTheOldFile) {
  EXPECT_FALSE(WritePlaylistM3u(Path("no/such/folder/x.m3u"), {"/a.mp3"}));
  const std::string file = temp_.Write("ro/old.m3u", "old\n");
  ::chmod(Path("ro").c_str(), 0500);
  if (::geteuid() != 0) {
    EXPECT_FALSE(WritePlaylistM3u(file, {"/a.mp3"}));
    EXPECT_EQ(test::ReadWholeFile(file), "old\n");
  }
  ::chmod(Path("ro").c_str(), 0700);
}

}  // namespace
}  // namespace kestrel
