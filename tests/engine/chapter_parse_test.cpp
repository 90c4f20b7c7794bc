#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/chapter_id3.h"
#include "engine/chapter_vorbis.h"

namespace kestrel {

void PrintTo(const Chapter& c, std::ostream* os) {
  *os << "{" << c.start << ", " << c.title << "}";
}

namespace {

using namespace std::string_literals;

// ---- Vorbis comments ----------------------------------------------------------------------

std::string CommentList(const std::vector<std::string>& entries) {
  std::string list;
  for (const std::string& entry : entries) list += entry + '\0';
  return list + '\0';
}

TEST(VorbisChaptersTest, ReadsTimesAndNamesInChapterOrder) {
  struct Case {
    const char* what;
    std::vector<std::string> entries;
    ChapterList expected;
  };
  const Case cases[] = {
      {"name and unnamed chapter",
       {"TITLE=Book", "CHAPTER001=00:00:00.000", "CHAPTER001NAME=Intro", "CHAPTER002=00:05:30.500"},
       {{0, "Intro"}, {330.5, "Chapter 2"}}},
      {"a later chapter at 0 is dropped, chapter 1 is kept",
       {"CHAPTER001=0", "CHAPTER003=00:00:00.000", "CHAPTER003NAME=Lost", "CHAPTER002=1:00"},
       {{0, "Chapter 1"}, {60, "Chapter 2"}}},
      {"any case, numbers in numeric order whatever their width or place",
       {"chapter10=10:00", "Chapter2Name=Two", "CHAPTER2=2:00", "chapter10name=Ten"},
       {{120, "Two"}, {600, "Ten"}}},
      {"entries that are not chapters",
       {"CHAPTER=5", "CHAPTER000=5", "CHAPTERX=5", "CHAPTER99999999999=5", "CHAPTER4URL=x",
        "CHAPTER5NAME", "CHAPTERS=3", "XCHAPTER001=3"},
       {}},
      {"a time that does not read counts as 0", {"CHAPTER002=soon", "CHAPTER001=abc"},
       {{0, "Chapter 1"}}},
      {"invalid UTF-8 in a name", {"CHAPTER001=1", "CHAPTER001NAME=A\xff"}, {{1, "A\xEF\xBF\xBD"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ParseVorbisChapters(CommentList(c.entries)), c.expected);
  }
}

TEST(VorbisChaptersTest, StopsAtTheEmptyEntryAndAtTheEndOfTheData) {
  const std::string list = "CHAPTER001=1\0CHAPTER002=2\0\0CHAPTER003=3\0"s;
  EXPECT_EQ(ParseVorbisChapters(list).size(), 2u);
  EXPECT_EQ(ParseVorbisChapters("CHAPTER001=7"), (ChapterList{{7, "Chapter 1"}}));
  EXPECT_TRUE(ParseVorbisChapters("").empty());
  EXPECT_EQ(ParseVorbisChapters(CommentList({"CHAPTER002=5"}),
                                [](int n) { return "Chapitre " + std::to_string(n); }),
            (ChapterList{{5, "Chapitre 2"}}));
}

TEST(VorbisChaptersTest, TimeForms) {
  struct Case {
    const char* text;
    std::optional<double> seconds;
  };
  const Case cases[] = {
      {"1:02:03.5", 3723.5}, {"00:05:30.500", 330.5}, {"5:30.25", 330.25}, {"75.5", 75.5},
      {" 10", 10.0},         {"1:2:", 62.0},          {"12abc", 12.0},     {"-5", 0.0},
      {"abc", std::nullopt}, {"inf", std::nullopt},   {"nan", std::nullopt}, {"", std::nullopt},
      {"99999999999999999999:1", 1e20},  // too large for minutes, read as seconds
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseChapterTime(c.text), c.seconds);
  }
}

// ---- ID3v2 chapter frames -----------------------------------------------------------------

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}
std::string Syncsafe(std::uint32_t value) {
  return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
          static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

std::string Frame(int version, const std::string& id, const std::string& content,
                  char format_flags = 0) {
  const auto size = static_cast<std::uint32_t>(content.size());
  return id + (version == 4 ? Syncsafe(size) : BigEndian(size)) + '\0' + format_flags + content;
}

std::string Title(int version, char encoding, const std::string& text) {
  return Frame(version, "TIT2", std::string(1, encoding) + text);
}

std::string Chap(int version, const std::string& element, std::uint32_t start_ms,
                 const std::string& embedded = "") {
  return Frame(version, "CHAP",
               element + '\0' + BigEndian(start_ms) + BigEndian(start_ms + 1000) +
                   BigEndian(0xFFFFFFFF) + BigEndian(0xFFFFFFFF) + embedded);
}

std::string Tag(int version, const std::string& frames, char flags = 0) {
  return "ID3"s + static_cast<char>(version) + '\0' + flags +
         Syncsafe(static_cast<std::uint32_t>(frames.size())) + frames;
}

TEST(Id3ChaptersTest, OutOfOrderFramesComeOutInTimeOrderWithTheirTitles) {
  for (const int version : {3, 4}) {
    SCOPED_TRACE(version);
    const std::string frames =
        Frame(version, "TIT2", "\3Album title") +
        Chap(version, "ch3", 120000, Title(version, 0, "Caf\xE9"s)) +
        Chap(version, "ch1", 0, Frame(version, "TPE1", "\0Someone"s) +
                                    Title(version, 1, "\xFF\xFE" "D\0e\0u\0x\0\0\0"s)) +
        Chap(version, "ch4", 180500) +
        Chap(version, "ch2", 60000, Title(version, 2, "\0T\0r\xD8\x3D\xDE\x00\0\0\0X"s)) +
        Chap(version, "ch5", 90000, Title(version, 3, "Cinq\0ignored"s)) + std::string(64, '\0');
    EXPECT_EQ(ParseId3v2Chapters(Tag(version, frames)),
              (ChapterList{{0, "Deux"},
                           {60, "Tr\xF0\x9F\x98\x80"},
                           {90, "Cinq"},
                           {120, "Caf\xC3\xA9"},
                           {180.5, "Chapter 3"}}));  // untitled: third CHAP frame met
  }
}

TEST(Id3ChaptersTest, TitleFramesTooShortOrOfUnknownEncodingGiveTheDefaultName) {
  const std::string frames =
      Chap(3, "a", 1000, Frame(3, "TIT2", "\1") + Title(3, 0, "Second TIT2")) +
      Chap(3, "b", 2000, Title(3, 9, "odd")) + Chap(3, "c", 3000, Title(3, 1, "\xFF\xFE"s)) +
      Chap(3, "d", 4000, Title(3, 1, "\xFF\xFE" "A\0B"s));  // odd byte dropped
  EXPECT_EQ(ParseId3v2Chapters(Tag(3, frames)),
            (ChapterList{{1, "Second TIT2"}, {2, "Chapter 2"}, {3, "Chapter 3"}, {4, "A"}}));
}

TEST(Id3ChaptersTest, DamagedDataGivesFewerChaptersAndNeverReadsPastIt) {
  const std::string good = Chap(3, "ok", 5000, Title(3, 0, "Good"));
  struct Case {
    const char* what;
    std::string tag;
    std::size_t expected;
  };
  std::string beyond = Tag(3, good + Chap(3, "x", 7000));
  beyond.resize(beyond.size() - 1);  // the last frame ends past the tag
  std::string declared_large = Tag(3, good);
  declared_large[9] = 0x7F;  // the header claims more than the block holds
  std::string embedded_past = Chap(3, "e", 1, Frame(3, "TIT2", "\0Long"s));
  embedded_past[embedded_past.size() - 15 + 6] = 0x40;  // TIT2 size beyond its CHAP
  const Case cases[] = {
      {"not ID3", "TAG" + good, 0},
      {"too short for a header", "ID3\3\0", 0},
      {"version 2.2 has no chapter frames", Tag(2, good), 0},
      {"frame past the end", beyond, 1},
      {"declared size larger than the block", declared_large, 1},
      {"zero size stops the walk", Tag(3, good + "CHAP" + BigEndian(0) + "\0\0"s + good), 1},
      {"zero id byte stops the walk", Tag(3, good + std::string(10, '\0') + good), 1},
      {"element id without its NUL", Tag(3, Frame(3, "CHAP", "abcdefghijklmnopqrstuvwxyz")), 0},
      {"fewer than 16 bytes of times", Tag(3, Frame(3, "CHAP", "id\0"s + std::string(15, 1))), 0},
      {"an embedded frame past its chapter", Tag(3, Frame(3, "CHAP", embedded_past.substr(10))), 1},
      {"compressed frame skipped", Tag(3, Frame(3, "CHAP", good.substr(10), '\x80') + good), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ParseId3v2Chapters(c.tag).size(), c.expected);
  }
  EXPECT_EQ(ParseId3v2Chapters(Tag(3, Frame(3, "CHAP", embedded_past.substr(10))))[0].title,
            "Chapter 1");
}

TEST(Id3ChaptersTest, ExtendedHeadersBySizeRulesOfEachVersion) {
  const std::string v3 = Tag(3, BigEndian(6) + std::string(6, '\0') + Chap(3, "a", 2000), 0x40);
  EXPECT_EQ(ParseId3v2Chapters(v3), (ChapterList{{2, "Chapter 1"}}));
  const std::string v4 = Tag(4, Syncsafe(6) + "\1\0"s + Chap(4, "a", 3000), 0x40);
  EXPECT_EQ(ParseId3v2Chapters(v4), (ChapterList{{3, "Chapter 1"}}));
  EXPECT_TRUE(ParseId3v2Chapters(Tag(3, BigEndian(500) + Chap(3, "a", 1), 0x40)).empty());
}

// Unsynchronisation as a writer applies it: a zero byte after every 0xFF that precedes a byte of
// 0xE0 or more, or a zero.
std::string Unsynchronised(const std::string& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    const bool ff = static_cast<unsigned char>(bytes[i]) == 0xFF;
    const unsigned next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (ff && (next >= 0xE0 || next == 0)) out += '\0';
  }
  return out;
}

TEST(Id3ChaptersTest, UnsynchronisedTagsAndFramesReadTheirTrueTimes) {
  constexpr std::uint32_t kStartMs = 0x0001FFE0;  // 131.04 s: holds 0xFF 0xE0
  // Version 2.3: the whole tag after its header.
  const std::string v3 = Tag(3, Unsynchronised(Chap(3, "a", kStartMs, Title(3, 0, "Un"))), '\x80');
  EXPECT_EQ(ParseId3v2Chapters(v3), (ChapterList{{131.04, "Un"}}));
  // Version 2.4: frame by frame, with a data length indicator before the content.
  const std::string chap = Chap(4, "a", kStartMs, Title(4, 0, "Deux")).substr(10);
  const std::string v4 =
      Tag(4, Frame(4, "CHAP", Syncsafe(chap.size()) + Unsynchronised(chap), 0x03));
  EXPECT_EQ(ParseId3v2Chapters(v4), (ChapterList{{131.04, "Deux"}}));
}

}  // namespace
}  // namespace kestrel
