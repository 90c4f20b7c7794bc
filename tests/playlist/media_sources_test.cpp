#include "playlist/media_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kestrel {
namespace {

using Items = std::vector<std::string>;

class MediaSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"album/2.mp3", "album/1.flac", "album/cover.jpg", "clip.mkv",
                             "song.ogg", "notes.txt"}) {
      temp_.Write(file, "");
    }
    temp_.Write("list.m3u", "album/1.flac\nhttp://h/s\n");
    temp_.Write("empty.m3u", "#EXTM3U\n");
  }
  std::string Path(const std::string& relative) const { return (temp_.path() / relative).string(); }
  test::TempFolder temp_;
};

TEST_F(MediaSourcesTest, OpenedFilesBecomeThePlaylist) {
  struct Case {
    const char* name;
    Items files;
    bool load_folder;
    Items items;
    int start;
  } cases[] = {
      {"one file", {Path("song.ogg")}, false, {Path("song.ogg")}, 0},
      {"one file with its folder", {Path("album/2.mp3")}, true,
       {Path("album/1.flac"), Path("album/2.mp3")}, 1},
      {"a playlist stands for its entries, folder or not", {Path("list.m3u")}, true,
       {Path("album/1.flac"), "http://h/s"}, 0},
      {"several files ignore the folder setting",
       {Path("clip.mkv"), Path("list.m3u"), Path("notes.txt")}, true,
       {Path("clip.mkv"), Path("album/1.flac"), "http://h/s", Path("notes.txt")}, 0},
      {"an empty playlist gives nothing", {Path("empty.m3u")}, false, {}, 0},
  };
  for (const Case& c : cases) {
    const PlaylistChoice choice = ChoiceForOpenedFiles(c.files, c.load_folder);
    EXPECT_EQ(choice.items, c.items) << c.name;
    EXPECT_EQ(choice.start_index, c.start) << c.name;
  }
}

TEST_F(MediaSourcesTest, ClipboardFileListTakesAudioVideoAndFolders) {
  EXPECT_EQ(MediaFromClipboard({Path("clip.mkv"), Path("notes.txt"), Path("album"),
                                Path("missing.mp3"), ""},
                               "http://ignored/because/files/came/first"),
            (Items{Path("clip.mkv"), Path("album/1.flac"), Path("album/2.mp3")}));
}

TEST_F(MediaSourcesTest, ClipboardTextIsReadWhenTheFileListGivesNothing) {
  const std::string text = "  http://a/s \r\n\r\n\tmms://b\nrtsp://c\nHTTP://upper/case\n" +
                           Path("clip.mkv") + "\n" + Path("song.ogg") + "  \n" + Path("album") +
                           "\r" + Path("missing.mp3") + "\nhello\n";
  EXPECT_EQ(MediaFromClipboard({Path("notes.txt")}, text),
            (Items{"http://a/s", "mms://b", "rtsp://c", Path("song.ogg"), Path("album/1.flac"),
                   Path("album/2.mp3")}));
  EXPECT_TRUE(MediaFromClipboard({}, "").empty());
  EXPECT_TRUE(MediaFromClipboard({}, std::string("\0\n\r\n", 4)).empty());
}

}  // namespace
}  // namespace kestrel
