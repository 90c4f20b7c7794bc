#include "playlist/playlist_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

using Entries = std::vector<std::string>;

struct TextCase {
  const char* name;
  std::string bytes;
  Entries expected;
};

class M3uEntriesTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(M3uEntriesTest, ReadsTheEntries) {
  EXPECT_EQ(M3uEntries(GetParam().bytes), GetParam().expected);
}

const std::string kLongName = std::string(5000, 'x') + ".mp3";

INSTANTIATE_TEST_SUITE_P(
    Files, M3uEntriesTest,
    ::testing::Values(
        TextCase{"directives_blanks_and_urls",
                 "#EXTM3U\n#EXTINF:123,Artist - Title\n  \tsong.mp3 \t\n/music/a.flac\n"
                 "http://example.com/stream\n",
                 {"song.mp3", "/music/a.flac", "http://example.com/stream"}},
        TextCase{"bom_and_crlf", "\xEF\xBB\xBF#EXTM3U\r\na.mp3\r\nb.mp3\r\n", {"a.mp3", "b.mp3"}},
        TextCase{"bare_cr_line_ends_and_no_final_break", "a.mp3\rb.mp3", {"a.mp3", "b.mp3"}},
        TextCase{"empty_and_blank_lines", "\n\n   \n\t\n", {}},
        TextCase{"empty_file", "", {}},
        TextCase{"bom_alone", "\xEF\xBB\xBF", {}},
        TextCase{"bom_not_at_start_is_kept", "a.mp3\n\xEF\xBB\xBF" "b.mp3\n",
                 {"a.mp3", "\xEF\xBB\xBF" "b.mp3"}},
        TextCase{"comment_after_blanks", "   #EXTINF:1,x\nc.ogg\n", {"c.ogg"}},
        // Windows-1252 and UTF-8 lines mixed in one file, decided line by line.
        TextCase{"windows_1252_line", "caf\xE9.mp3\ncaf\xC3\xA9.mp3\n\x80 \x9F.mp3\n",
                 {"caf\xC3\xA9.mp3", "caf\xC3\xA9.mp3", "\xE2\x82\xAC \xC5\xB8.mp3"}},
        TextCase{"nul_byte_line_skipped", std::string("a\0b.mp3\nc.mp3\n", 14), {"c.mp3"}},
        TextCase{"line_longer_than_4095_bytes_is_one_entry", "#EXTM3U\n" + kLongName + "\nz.mp3\n",
                 {kLongName, "z.mp3"}}),
    [](const auto& info) { return std::string(info.param.name); });

class PlsEntriesTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PlsEntriesTest, ReadsTheEntries) {
  EXPECT_EQ(PlsEntries(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlsEntriesTest,
    ::testing::Values(
        TextCase{"numbered_until_the_first_gap",
                 "[playlist]\nFile1=a.mp3\nTitle1=A\nFile2=b.mp3\nFile4=d.mp3\nNumberOfEntries=3\n",
                 {"a.mp3", "b.mp3"}},
        TextCase{"any_case_blanks_quotes_crlf_bom",
                 "\xEF\xBB\xBF[PlayList]\r\n  file2 = \"b c.mp3\" \r\nFILE1=http://x/s\r\n",
                 {"http://x/s", "b c.mp3"}},
        TextCase{"first_of_equal_keys_counts", "[playlist]\nFile1=a.mp3\nfile1=b.mp3\n", {"a.mp3"}},
        TextCase{"other_sections_ignored",
                 "[other]\nFile1=no.mp3\n[playlist]\nFile1=yes.mp3\n[more]\nFile2=no2.mp3\n",
                 {"yes.mp3"}},
        TextCase{"empty_value_stops", "[playlist]\nFile1=\nFile2=b.mp3\n", {}},
        TextCase{"no_section", "File1=a.mp3\n", {}},
        TextCase{"windows_1252_value", "[playlist]\nFile1=\xC0 la.mp3\n", {"\xC3\x80 la.mp3"}},
        TextCase{"long_value_whole", "[playlist]\nFile1=" + kLongName + "\n", {kLongName}},
        TextCase{"garbage", std::string("\0\xFF[\n=\n[playlist\nFile1", 20), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlsEntries, ReadsAtMostAThousandEntries) {
  std::string text = "[playlist]\n";
  for (int i = 1; i <= 1005; ++i) text += "File" + std::to_string(i) + "=t" + std::to_string(i) + ".mp3\n";
  const Entries entries = PlsEntries(text);
  ASSERT_EQ(entries.size(), 1000u);
  EXPECT_EQ(entries.back(), "t1000.mp3");
}

TEST(ResolvePlaylistEntry, KeepsUrlsAndAbsolutePathsAndPrefixesRelativeNames) {
  struct Case {
    const char* entry;
    const char* expected;
  } cases[] = {
      {"song.mp3", "/lists/song.mp3"},
      {"sub/song.mp3", "/lists/sub/song.mp3"},
      {"../up.mp3", "/lists/../up.mp3"},
      {"/music/a.flac", "/music/a.flac"},
      {"http://host/a", "http://host/a"},
      {"HTTPS://host/a", "HTTPS://host/a"},
      {"mms://host/a", "mms://host/a"},
      {"rtsp://host/a", "rtsp://host/a"},
      {"C:\\Music\\a.flac", "C:\\Music\\a.flac"},
      {"1x://not-a-scheme", "/lists/1x://not-a-scheme"},
      {"://nothing", "/lists/://nothing"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolvePlaylistEntry(c.entry, "/lists/"), c.expected) << c.entry;
  }
}

}  // namespace
}  // namespace kestrel
