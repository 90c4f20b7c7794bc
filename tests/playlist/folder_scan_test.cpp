#include "playlist/folder_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

class FolderScanTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return (temp_.path() / relative).string(); }
  test::TempFolder temp_;
};

TEST_F(FolderScanTest, TreeIsSortedByFullPathWithCaseAndSkipsOtherTypes) {
  for (const char* file : {"b.mp3", "A.mp3", "a.MP3", "cover.jpg", "list.m3u", "clip.mp4",
                           "Sub/z.flac", "sub/y.ogg", "sub/deeper/x.wav", "a b/c.opus"}) {
    temp_.Write(std::string("root/") + file, "");
  }
  fs::create_directory(Path("root/empty"));
  Items items = {"kept"};
  AddFolderTree(Path("root"), items);
  EXPECT_EQ(items, (Items{"kept", Path("root/A.mp3"), Path("root/Sub/z.flac"),
                          Path("root/a b/c.opus"), Path("root/a.MP3"), Path("root/b.mp3"),
                          Path("root/sub/deeper/x.wav"), Path("root/sub/y.ogg")}));
}

TEST_F(FolderScanTest, LinksAreNeitherFollowedNorTaken) {
  temp_.Write("root/real.mp3", "");
  temp_.Write("elsewhere/outside.mp3", "");
  fs::create_directory_symlink(Path("root"), Path("root/loop"));
  fs::create_directory_symlink(Path("elsewhere"), Path("root/linked"));
  fs::create_symlink(Path("root/real.mp3"), Path("root/link.mp3"));
  Items items;
  AddFolderTree(Path("root"), items);
  EXPECT_EQ(items, Items{Path("root/real.mp3")});
}

TEST_F(FolderScanTest, StopsThirtyTwoLevelsDown) {
  std::string relative = "root";
  for (int level = 1; level <= 34; ++level) {
    relative += "/d";
    temp_.Write(relative + "/level" + std::to_string(level) + ".mp3", "");
  }
  Items items;
  AddFolderTree(Path("root"), items);
  ASSERT_EQ(items.size(), 32u);
  // Deeper paths sort first ("d/..." before "level1.mp3").
  EXPECT_NE(items.front().find("/level32.mp3"), std::string::npos);
}

TEST_F(FolderScanTest, MissingFolderAddsNothing) {
  Items items;
  AddFolderTree(Path("nothing-here"), items);
  AddFolderTree("", items);
  EXPECT_TRUE(items.empty());
}

TEST_F(FolderScanTest, LoadFolderOfSortsTheFolderAndFindsTheFileByExactName) {
  for (const char* file : {"b.mp3", "B.mp3", "a.flac", "notes.txt", "sub/c.mp3", "clip.mkv"}) {
    temp_.Write(std::string("album/") + file, "");
  }
  fs::create_symlink(Path("album/a.flac"), Path("album/link.ogg"));
  const Items folder = {Path("album/B.mp3"), Path("album/a.flac"), Path("album/b.mp3"),
                        Path("album/link.ogg")};
  struct Case {
    std::string opened;
    int index;
    Items list;
  } cases[] = {
      {Path("album/b.mp3"), 2, folder},
      {Path("album/B.mp3"), 0, folder},
      {Path("album/link.ogg"), 3, folder},
      // The user's own choice plays even when a folder scan would not take its type.
      {Path("album/clip.mkv"), 0, {Path("album/clip.mkv")}},
      {Path("album/gone.mp3"), 0, {Path("album/gone.mp3")}},
      {Path("missing/x.mp3"), 0, {Path("missing/x.mp3")}},
  };
  for (const Case& c : cases) {
    Items list = {"old"};
    EXPECT_EQ(LoadFolderOf(c.opened, list), c.index) << c.opened;
    EXPECT_EQ(list, c.list) << c.opened;
  }
}

TEST_F(FolderScanTest, LoadFolderOfARelativeNameUsesTheCurrentFolder) {
  temp_.Write("x.mp3", "");
  temp_.Write("w.mp3", "");
  const fs::path before = fs::current_path();
  fs::current_path(temp_.path());
  Items list;
  const int index = LoadFolderOf("x.mp3", list);
  fs::current_path(before);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list, (Items{Path("w.mp3"), Path("x.mp3")}));
}

}  // namespace
}  // namespace kestrel
