#include "playlist/media_extensions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace kestrel {
namespace {

TEST(MediaExtensions, TablesHoldTheirRowsOnceEachInLowerCase) {
  EXPECT_EQ(FolderScanExtensions().size(), 17u);
  EXPECT_EQ(VideoDropExtensions().size(), 17u);
  EXPECT_EQ(SupportedFileTypes().size(), 49u);
  for (auto table : {FolderScanExtensions(), VideoDropExtensions(), SupportedFileTypes()}) {
    std::set<std::string_view> seen;
    for (std::string_view extension : table) {
      EXPECT_TRUE(seen.insert(extension).second) << extension;
      EXPECT_EQ(extension.front(), '.');
      EXPECT_EQ(std::string(extension), LowerExtensionOf("x" + std::string(extension)));
    }
  }
  // Types a folder scan leaves out on purpose.
  for (const char* left_out : {".aif", ".mp2", ".mp4", ".mod"}) {
    EXPECT_FALSE(IsFolderScanExtension(left_out)) << left_out;
  }
}

TEST(MediaExtensions, OpenFilterHasFiveChoicesTheFirstCoveringEveryOther) {
  ASSERT_EQ(OpenFilterRows().size(), 5u);
  EXPECT_EQ(OpenFilterRows()[0].label, "All Supported");
  EXPECT_EQ(OpenFilterRows()[4].patterns, "*.*");
  const std::string all = std::string(OpenFilterRows()[0].patterns) + ";";
  for (std::size_t row = 1; row < 4; ++row) {
    std::string_view patterns = OpenFilterRows()[row].patterns;
    while (!patterns.empty()) {
      const std::size_t end = patterns.find(';');
      const std::string pattern(patterns.substr(0, end));
      EXPECT_NE(all.find(pattern + ";"), std::string::npos) << pattern;
      if (end == std::string_view::npos) break;
      patterns.remove_prefix(end + 1);
    }
  }
}

TEST(MediaExtensions, ExtensionComesFromTheFileName) {
  struct Case {
    const char* item;
    const char* extension;
  } cases[] = {
      {"/m/Song.MP3", ".mp3"},   {"/m/a.b/noext", ""},     {"noext", ""},
      {"/m/.hidden", ".hidden"}, {"/m/x.tar.FLAC", ".flac"}, {"/m/x.", "."},
  };
  for (const Case& c : cases) EXPECT_EQ(LowerExtensionOf(c.item), c.extension) << c.item;
}

TEST(MediaExtensions, UrlsAndPlaylistFiles) {
  EXPECT_TRUE(IsUrl("HTTP://a"));
  EXPECT_TRUE(IsUrl("https://a"));
  EXPECT_TRUE(IsUrl("Ftp://a"));
  EXPECT_FALSE(IsUrl("mms://a"));
  EXPECT_FALSE(IsUrl("/http://a"));
  EXPECT_TRUE(IsPlaylistFile("/a/List.M3U"));
  EXPECT_TRUE(IsPlaylistFile("/a/list.m3u8"));
  EXPECT_TRUE(IsPlaylistFile("/a/list.pls"));
  EXPECT_FALSE(IsPlaylistFile("/a.m3u/list"));
  EXPECT_FALSE(IsPlaylistFile("/a/list.m3u.mp3"));
}

}  // namespace
}  // namespace kestrel
