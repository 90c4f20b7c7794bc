#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/post_to_ui.h"
#include "engine/chapter_seek.h"
#include "engine/chapter_store.h"
#include "engine/open_media.h"
#include "engine/seek_units.h"
#include "engine/transport.h"
#include "engine/transport_fixture.h"
#include "engine/transport_hooks.h"

namespace kestrel {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

std::string BigEndian(std::uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

// An ID3v2.3 CHAP frame starting at `start_ms`, titled by an embedded Latin-1 TIT2 frame.
std::string ChapFrame(const std::string& element, std::uint32_t start_ms,
                      const std::string& title) {
  const std::string tit2 = "TIT2" + BigEndian(static_cast<std::uint32_t>(title.size() + 1)) +
                           "\0\0\0"s + title;
  const std::string content = element + '\0' + BigEndian(start_ms) + BigEndian(start_ms + 500) +
                              BigEndian(0xFFFFFFFF) + BigEndian(0xFFFFFFFF) + tit2;
  return "CHAP" + BigEndian(static_cast<std::uint32_t>(content.size())) + "\0\0"s + content;
}

class ChapterTest : public test::TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    ResetChaptersForTesting();
  }
  void TearDown() override {
    TransportTest::TearDown();
    ResetChaptersForTesting();
  }

  // 200 s of silence in FLAC (or Ogg Vorbis) with CHAPTER comments written by ffmpeg.
  std::string ChapteredFile(const std::string& name, const Strings& comments) {
    const auto file = temp_.path() / name;
    std::vector<std::string> args = {"-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono", "-t", "200"};
    for (const std::string& comment : comments) {
      args.push_back("-metadata");
      args.push_back(comment);
    }
    args.push_back(file.string());
    EXPECT_TRUE(test::RunFfmpeg(args)) << name;
    return file.string();
  }

  // The book of the rules: chapters at 0, 60 and 120 s.
  std::string Book() {
    return ChapteredFile("book.flac", {"CHAPTER001=00:00:00.000", "CHAPTER001NAME=Intro",
                                       "CHAPTER002=00:01:00.000", "CHAPTER002NAME=Middle",
                                       "CHAPTER003=00:02:00.000", "CHAPTER003NAME=End"});
  }

  static Strings Titles() {
    Strings titles;
    for (const Chapter& chapter : CurrentChapters()) titles.push_back(chapter.title);
    return titles;
  }
};

TEST_F(ChapterTest, VorbisChaptersOfFlacAndOggAreReadAtOpen) {
  OpenPaused(Book());
  EXPECT_TRUE(HasChapters());
  EXPECT_TRUE(CurrentItemHasChapters());
  EXPECT_EQ(CurrentChapters(), (ChapterList{{0, "Intro"}, {60, "Middle"}, {120, "End"}}));

  OpenPaused(ChapteredFile("talk.ogg", {"CHAPTER001=00:00:10.000", "CHAPTER001NAME=Intro",
                                        "CHAPTER002=00:05:30.500", "CHAPTER003=0"}));
  EXPECT_EQ(CurrentChapters(), (ChapterList{{10, "Intro"}, {330.5, "Chapter 2"}}));

  OpenPaused(LongFile("plain.flac", 30));
  EXPECT_FALSE(HasChapters());
  EXPECT_TRUE(CurrentChapters().empty());
}

TEST_F(ChapterTest, Id3ChapterFramesStoredOutOfOrderAreUsedInTimeOrder) {
  const auto mp3 = temp_.path() / "raw.mp3";
  ASSERT_TRUE(test::RunFfmpeg({"-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono", "-t", "200",
                               "-c:a", "libmp3lame", "-b:a", "8k", "-id3v2_version", "0",
                               mp3.string()}));
  const std::string frames = ChapFrame("c", 120000, "Third") + ChapFrame("a", 0, "First") +
                             ChapFrame("b", 60000, "Second") + std::string(32, '\0');
  const auto size = static_cast<std::uint32_t>(frames.size());
  std::string tag = "ID3\3\0\0"s;
  for (int shift : {21, 14, 7, 0}) tag += static_cast<char>((size >> shift) & 0x7F);
  tag += frames;

  std::ifstream in(mp3, std::ios::binary);
  const std::string audio((std::istreambuf_iterator<char>(in)), {});
  const auto tagged = temp_.path() / "tagged.mp3";
  std::ofstream(tagged, std::ios::binary) << tag << audio;

  OpenPaused(tagged.string());
  EXPECT_EQ(Titles(), (Strings{"First", "Second", "Third"}));
  SeekTo(30);
  GoToNextChapter();
  EXPECT_DOUBLE_EQ(Position(), 60);
  EXPECT_EQ(Spoken(), Strings{"Chapter 2: Second"});
}

TEST_F(ChapterTest, NextAndPreviousFollowTheirRules) {
  OpenPaused(Book());
  struct Case {
    double at;
    bool next;
    double lands;
    Strings said;
  };
  const Case cases[] = {
      {95, true, 120, {"Chapter 3: End"}},
      {95, false, 60, {"Chapter 2: Middle"}},     // more than 3 s into chapter 2: its start
      {61, false, 0, {"Chapter 1: Intro"}},       // just into chapter 2: the one before
      {63.5, false, 60, {"Chapter 2: Middle"}},
      {2, false, 0, {"Beginning"}},               // in the first chapter
      {119.7, true, 119.7, {}},                   // 120 is not beyond 119.7 + 0.5; none after
      {119.4, true, 120, {"Chapter 3: End"}},
      {150, true, 150, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.next ? "next at " : "previous at ") << c.at);
    SeekTo(c.at);
    Spoken();
    c.next ? GoToNextChapter() : GoToPreviousChapter();
    EXPECT_DOUBLE_EQ(Position(), c.lands);
    EXPECT_EQ(Spoken(), c.said);
  }
}

TEST_F(ChapterTest, PreviousBeforeTheFirstChapterDoesNothing) {
  OpenPaused(ChapteredFile("late.flac", {"CHAPTER001=00:00:30", "CHAPTER002=00:01:30"}));
  SeekTo(10);
  Spoken();
  GoToPreviousChapter();
  EXPECT_DOUBLE_EQ(Position(), 10);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(ChapterTest, TheChapterSeekUnitMovesByChaptersOnlyWhileTheItemHasThem) {
  TheSettings().current_seek = kChapterSeekUnit;
  OpenPaused(Book());
  EXPECT_TRUE(IsSeekUnitAvailable(kChapterSeekUnit));
  SeekTo(10);
  EXPECT_EQ(SaidBy({[] { SeekForward(); }, [] { SeekForward(); }, [] { SeekBackward(); }}),
            (Strings{"Chapter 2: Middle", "Chapter 3: End", "Chapter 2: Middle"}));
  EXPECT_DOUBLE_EQ(Position(), 60);

  OpenPaused(LongFile("plain.flac", 30));
  EXPECT_FALSE(IsSeekUnitAvailable(kChapterSeekUnit));
  SeekTo(5);
  SeekForward();
  EXPECT_DOUBLE_EQ(Position(), 5);
}

TEST_F(ChapterTest, NothingHappensWithoutAnOutputStream) {
  OpenPaused(Book());
  CloseMedia();  // also what a video open does to the audio
  EXPECT_FALSE(HasChapters());
  GoToNextChapter();
  GoToPreviousChapter();
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(ChapterTest, HandedOverChaptersBelongOnlyToTheirItem) {
  const std::string book = Book();
  const std::string other = LongFile("other.flac", 200);
  const ChapterList handed = {{5, "Welcome"}, {50, ""}};

  // Meant for another item: the book reads its own, and the hand-over is gone for good.
  SetPendingChapters(other + ".elsewhere", handed);
  OpenPaused(book);
  EXPECT_EQ(Titles(), (Strings{"Intro", "Middle", "End"}));

  // Meant for this item: used as they are, even over the file's own chapters.
  SetPendingChapters(book, handed);
  OpenPaused(book);
  EXPECT_EQ(CurrentChapters(), handed);
  SeekTo(10);
  Spoken();
  GoToNextChapter();
  EXPECT_EQ(Spoken(), Strings{"Chapter 2"});  // an untitled handed-over chapter: no ": "

  // Reopening the same item keeps them; the next item reads its own tags (none).
  OpenPaused(book);
  EXPECT_EQ(CurrentChapters(), handed);
  OpenPaused(other);
  EXPECT_FALSE(HasChapters());
  OpenPaused(book);
  EXPECT_EQ(Titles(), (Strings{"Intro", "Middle", "End"}));

  // A hand-over whose open failed does not wait for the next item.
  SetPendingChapters(temp_.path().string() + "/missing.mp3", handed);
  EXPECT_FALSE(OpenMedia(temp_.path().string() + "/missing.mp3"));
  OpenPaused(other);
  EXPECT_FALSE(HasChapters());

  // An empty hand-over cancels one waiting.
  SetPendingChapters(book, handed);
  SetPendingChapters(book, {});
  OpenPaused(book);
  EXPECT_EQ(Titles(), (Strings{"Intro", "Middle", "End"}));
}

TEST_F(ChapterTest, DownloadCompletionReadsChaptersOnTheUserInterfaceThreadWhenNoneAreKnown) {
  std::vector<PostedMessage> posted;
  SetUiMessageSink([&](PostedMessage message) { posted.push_back(std::move(message)); });
  OpenPaused(Book());
  const audio::Handle meta = ThePlayerState().meta_channel;

  RequestChaptersAfterDownload(meta);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, kMsgChaptersDownloaded);
  EXPECT_EQ(static_cast<audio::Handle>(posted[0].lparam), meta);

  // Chapters already known (handed over): the download leaves them alone.
  SetPendingChapters(Book(), {{7, "Kept"}});
  OpenPaused(Book());
  ReadChaptersAfterDownload(ThePlayerState().meta_channel);
  EXPECT_EQ(Titles(), Strings{"Kept"});

  // None known: read now. A channel that is no longer the current one is ignored.
  ResetChaptersForTesting();
  ReadChaptersAfterDownload(meta);  // the previous open's channel
  EXPECT_FALSE(HasChapters());
  ReadChaptersAfterDownload(ThePlayerState().meta_channel);
  EXPECT_EQ(Titles(), (Strings{"Intro", "Middle", "End"}));
  SetUiMessageSink([](PostedMessage) {});
}

}  // namespace
}  // namespace kestrel
