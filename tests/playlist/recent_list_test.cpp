#include "playlist/recent_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

using List = std::vector<std::string>;

List Added(List list, const List& paths) {
  for (const std::string& path : paths) AddRecentFile(list, path);
  return list;
}

TEST(RecentFiles, AddingPutsTheFileFirstAndKeepsOneEntryOfIt) {
  struct Case {
    const char* name;
    List start;
    List added;
    List expected;
  };
  const Case cases[] = {
      {"new file goes first", {"/m/a.mp3"}, {"/m/b.mp3"}, {"/m/b.mp3", "/m/a.mp3"}},
      {"played again moves to the front",
       {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}, {"/m/c.mp3"}, {"/m/c.mp3", "/m/a.mp3", "/m/b.mp3"}},
      // File names differ by case here: two files, two entries.
      {"case makes another file", {"/m/A.mp3"}, {"/m/a.MP3"}, {"/m/a.MP3", "/m/A.mp3"}},
      {"streams never enter", {"/m/a.mp3"},
       {"http://radio/x", "https://a/b.mp3", "ftp://h/f.ogg", "mms://s/t", "://"}, {"/m/a.mp3"}},
      {"empty path ignored", {"/m/a.mp3"}, {""}, {"/m/a.mp3"}},
      {"a name with a colon is a file", {}, {"/m/a:b.mp3"}, {"/m/a:b.mp3"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Added(c.start, c.added), c.expected) << c.name;
}

TEST(RecentFiles, TheEleventhFilePushesOutTheOldest) {
  List list;
  for (int i = 0; i < 11; ++i) AddRecentFile(list, "/m/" + std::to_string(i) + ".mp3");
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list.front(), "/m/10.mp3");
  EXPECT_EQ(list.back(), "/m/1.mp3");
  AddRecentFile(list, "/m/5.mp3");  // an entry already there: nothing drops out
  EXPECT_EQ(list.size(), 10u);
  EXPECT_EQ(list.back(), "/m/1.mp3");
}

TEST(RecentFiles, MenuLabelsNumberOneToNineThenZero) {
  EXPECT_EQ(RecentMenuLabel(0, "/music/x/song.mp3"), "&1 song.mp3");
  EXPECT_EQ(RecentMenuLabel(8, "/music/nine.ogg"), "&9 nine.ogg");
  EXPECT_EQ(RecentMenuLabel(9, "/music/ten.flac"), "&0 ten.flac");
  EXPECT_EQ(RecentMenuLabel(1, "bare.wav"), "&2 bare.wav");
  EXPECT_EQ(RecentMenuLabel(2, "/m/Rock & Roll.mp3"), "&3 Rock && Roll.mp3");
  EXPECT_EQ(RecentMenuLabel(3, "/m/back\\slash.mp3"), "&4 back\\slash.mp3");
}

}  // namespace
}  // namespace kestrel
