#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/tag_id3v1.h"
#include "engine/tag_id3v2.h"
#include "engine/tag_lookup.h"
#include "engine/tag_name_list.h"
#include "engine/tag_stream_meta.h"
#include "engine/tag_test_bytes.h"
#include "engine/tag_text.h"

namespace kestrel {
namespace {

using namespace std::string_literals;
using test::ExactBytes;
using test::Frame;
using test::FrameV22;
using test::Id3v2Tag;
using test::Utf16Be;
using test::Utf16LeWithBom;

const std::string kUtf8Title = "Caf\xC3\xA9 del Mar";  // "Café del Mar"

// A tag with the common frames of one version, each in another encoding.
std::string MixedEncodingTag(int version) {
  const std::string body =
      Frame(version, "TIT2", "\x03"s + kUtf8Title) +                 // UTF-8
      Frame(version, "TPE1", "\x01"s + Utf16LeWithBom("Band")) +     // UTF-16 with BOM
      Frame(version, "TALB", "\x02"s + Utf16Be("Album")) +           // UTF-16 big-endian
      Frame(version, "TCON", "\x00(17)"s) +                           // ISO-8859-1
      Frame(version, "TRCK", "\x00" "5/12"s) +
      Frame(version, "COMM", "\x01" "eng"s + "\xFF\xFE\0\0"s + Utf16LeWithBom("Live recording"));
  return Id3v2Tag(version, body + std::string(64, '\0'));  // padding after the frames
}

TEST(Id3v2Test, ReadsEachEncodingInVersions3And4) {
  for (const int version : {3, 4}) {
    SCOPED_TRACE(version);
    const std::string tag = MixedEncodingTag(version);
    EXPECT_EQ(id3v2::FrameText(tag, "TIT2"), kUtf8Title);
    EXPECT_EQ(id3v2::FrameText(tag, "TPE1"), "Band");
    EXPECT_EQ(id3v2::FrameText(tag, "TALB"), "Album");
    EXPECT_EQ(id3v2::GenreText(id3v2::FrameText(tag, "TCON")), "Rock");
    EXPECT_EQ(id3v2::FrameText(tag, "TRCK"), "5/12");
    EXPECT_EQ(id3v2::FrameText(tag, "COMM"), "Live recording");
    EXPECT_EQ(id3v2::FrameText(tag, "TYER"), "");
  }
}

TEST(Id3v2Test, DecodesTheTextEncodings) {
  struct Case {
    const char* name;
    std::string content;
    std::string expected;
  };
  const Case cases[] = {
      {"Latin1", "\x00" "Caf\xE9"s, "Caf\xC3\xA9"},
      {"Utf16BigEndianMark", "\x01\xFE\xFF\x00h\x00i"s, "hi"},
      {"Utf16LittleEndianMark", "\x01\xFF\xFEh\x00i\x00"s, "hi"},
      {"Utf16WithoutMarkKeepsItsFirstCharacter", "\x01h\x00i\x00"s, "hi"},
      {"Utf16SurrogatePair", "\x02\xD8\x3D\xDE\x00"s, "\xF0\x9F\x98\x80"},
      {"Utf16LoneSurrogate", "\x02\xD8\x3D\x00" "a"s, "\xEF\xBF\xBD" "a"},
      {"Utf16OddByteDropped", "\x01\xFF\xFEh\x00i"s, "h"},
      {"EndsAtTheFirstNul", "\x03one\0two"s, "one"},
      {"TrailingNulsDropped", "\x00title\0\0\0"s, "title"},
      {"Utf16EndsAtNulUnit", "\x02\x00" "a\x00\x00\x00" "b"s, "a"},
      {"InvalidUtf8Replaced", "\x03" "a\xC3("s, "a\xEF\xBF\xBD("},
      {"UnknownEncoding", "\x04text"s, ""},
      {"EncodingByteOnly", "\x01"s, ""},
      {"Empty", ""s, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ExactBytes exact(c.content);
    EXPECT_EQ(id3v2::DecodeText(exact.view()), c.expected);
  }
}

TEST(Id3v2Test, CommentsSkipLanguageAndDescription) {
  struct Case {
    const char* name;
    std::string content;
    std::string expected;
  };
  const Case cases[] = {
      {"Latin1EmptyDescription", "\x00" "eng\0Live recording"s, "Live recording"},
      {"Utf8WithDescription", "\x03" "engnotes\0text"s, "text"},
      {"Utf16EmptyDescription", "\x01" "eng"s + "\xFF\xFE\0\0"s + Utf16LeWithBom("Live"), "Live"},
      // "a" then U+0100 in little-endian is 61 00 00 01: two zero bytes at an odd offset are not
      // the terminator.
      {"Utf16TerminatorOnlyAtEvenOffsets",
       "\x01" "eng\xFF\xFE" "a\x00\x00\x01\x00\x00"s + Utf16LeWithBom("ok"), "ok"},
      {"Utf16BigEndian", "\x02" "eng"s + Utf16Be("d") + "\0\0"s + Utf16Be("yes"), "yes"},
      {"NoTerminatorMeansNoComment", "\x00" "engno end"s, ""},
      {"Utf16TerminatorCutInHalf", "\x01" "eng\xFF\xFE" "a\x00\x00"s, ""},
      {"TooShort", "\x00" "en"s, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ExactBytes exact(c.content);
    EXPECT_EQ(id3v2::CommentText(exact.view()), c.expected);
  }
}

TEST(Id3v2Test, UndoesUnsynchronisation) {
  // "ÿà" in ISO-8859-1 is FF E0: unsynchronised, a zero byte is put between them.
  const std::string content = "\x00\xFF\xE0\xFF"s;
  const std::string expected = "\xC3\xBF\xC3\xA0\xC3\xBF";

  // Version 2.3 unsynchronises the whole tag; frame sizes count the bytes before it.
  const std::string v3 = Id3v2Tag(3, test::Unsynchronise(Frame(3, "TIT2", content)), 0x80);
  ASSERT_NE(v3.find("\xFF\x00\xE0"s), std::string::npos);
  EXPECT_EQ(id3v2::FrameText(v3, "TIT2"), expected);

  // Version 2.4 unsynchronises each frame, flagged in the frame (with a data length) or for all
  // frames in the tag header; frame sizes count the stored bytes.
  const std::string stored = test::Unsynchronise(content);
  const std::string per_frame =
      Id3v2Tag(4, Frame(4, "TIT2", test::Syncsafe32(4) + stored, 0x03));
  EXPECT_EQ(id3v2::FrameText(per_frame, "TIT2"), expected);
  const std::string whole_tag = Id3v2Tag(4, Frame(4, "TIT2", stored), 0x80);
  EXPECT_EQ(id3v2::FrameText(whole_tag, "TIT2"), expected);

  // Without the flag the bytes are taken as they are.
  EXPECT_EQ(id3v2::FrameText(Id3v2Tag(4, Frame(4, "TIT2", stored)), "TIT2"),
            "\xC3\xBF");  // FF, then the zero byte ends the text
}

TEST(Id3v2Test, SkipsTheExtendedHeader) {
  const std::string frames = Frame(3, "TIT2", "\x00Song"s);
  // Version 2.3: a 32-bit size not counting itself (6), flags and padding size.
  const std::string v3 = Id3v2Tag(3, test::BigEndian32(6) + std::string(6, '\0') + frames, 0x40);
  EXPECT_EQ(id3v2::FrameText(v3, "TIT2"), "Song");
  // Version 2.4: a syncsafe size counting itself, one flag byte, no flags.
  const std::string frames4 = Frame(4, "TIT2", "\x00Song"s);
  const std::string v4 = Id3v2Tag(4, test::Syncsafe32(6) + "\x01\x00"s + frames4, 0x40);
  EXPECT_EQ(id3v2::FrameText(v4, "TIT2"), "Song");
  // An extended header larger than the tag leaves no frames.
  const std::string too_big = Id3v2Tag(3, test::BigEndian32(1000) + frames, 0x40);
  EXPECT_EQ(id3v2::FrameText(too_big, "TIT2"), "");
}

TEST(Id3v2Test, ReadsVersion22) {
  const std::string tag =
      Id3v2Tag(2, FrameV22("TT2", "\x00Old Song"s) + FrameV22("TP1", "\x01"s + Utf16LeWithBom("Old Band")) +
                      FrameV22("COM", "\x00" "eng\0Note"s) + FrameV22("TCO", "\x00" "(8)"s));
  EXPECT_EQ(id3v2::FrameText(tag, "TIT2"), "Old Song");
  EXPECT_EQ(id3v2::FrameText(tag, "TPE1"), "Old Band");
  EXPECT_EQ(id3v2::FrameText(tag, "COMM"), "Note");
  EXPECT_EQ(id3v2::GenreText(id3v2::FrameText(tag, "TCON")), "Jazz");
  // A whole-tag compressed 2.2 tag cannot be read.
  const std::string compressed = Id3v2Tag(2, FrameV22("TT2", "\x00Old Song"s), 0x40);
  EXPECT_EQ(id3v2::FrameText(compressed, "TIT2"), "");
}

TEST(Id3v2Test, FrameFlagsAndUnreadableFrames) {
  // A compressed frame is passed over; the next frame with the id is read.
  const std::string v3 = Id3v2Tag(3, Frame(3, "TIT2", "\0\0\0\x10zzzz"s, 0x80) +
                                         Frame(3, "TIT2", "\x00Plain"s) +
                                         Frame(3, "TPE1", "\x07\x00Grouped"s, 0x20));
  EXPECT_EQ(id3v2::FrameText(v3, "TIT2"), "Plain");
  EXPECT_EQ(id3v2::FrameText(v3, "TPE1"), "Grouped");
  const std::string v4 = Id3v2Tag(4, Frame(4, "TIT2", "\x01\x00Grouped"s, 0x40) +
                                         Frame(4, "TPE1", "\x00Enc"s, 0x04));
  EXPECT_EQ(id3v2::FrameText(v4, "TIT2"), "Grouped");
  EXPECT_EQ(id3v2::FrameText(v4, "TPE1"), "");
}

TEST(Id3v2Test, NeverReadsPastTheTagOrTheFrame) {
  const std::string second = Frame(4, "TPE1", "\x00" "Band"s);
  struct Case {
    const char* name;
    std::string tag;
    std::string id;
    std::string expected;
  };
  const Case cases[] = {
      // A text without NUL ends with its frame, not in the next frame.
      {"TextEndsWithItsFrame", Id3v2Tag(4, Frame(4, "TIT2", "\x00Song"s) + second), "TIT2", "Song"},
      // A frame whose size runs past the tag ends the walk: nothing after it is read.
      {"FramePastTheTag",
       Id3v2Tag(4, "TIT2"s + test::Syncsafe32(500) + "\0\0\x00Song"s + second), "TPE1", ""},
      // The declared tag size is larger than the block: frames are read as far as the block goes.
      {"DeclaredSizeLargerThanBlock",
       Id3v2Tag(4, Frame(4, "TIT2", "\x00Song"s) + std::string(100, '\0')).substr(0, 10) +
           Frame(4, "TIT2", "\x00Song"s),
       "TIT2", "Song"},
      // The tag size declared is smaller than the block: frames after it are not part of the tag.
      {"DeclaredSizeSmallerThanBlock",
       Id3v2Tag(4, Frame(4, "TIT2", "\x00Song"s)) + second, "TPE1", ""},
      {"ZeroSizeEndsTheWalk", Id3v2Tag(3, "TIT2"s + test::BigEndian32(0) + "\0\0"s + second), "TPE1", ""},
      {"PaddingEndsTheWalk", Id3v2Tag(4, std::string(10, '\0') + second), "TPE1", ""},
      {"NotSyncsafeFrameSize", Id3v2Tag(4, "TIT2\x00\x00\x00\x85\0\0"s + std::string(0x85, 'a')), "TIT2", ""},
      {"NotATag", "ID4\x04\0\0\0\0\0\x10"s + second, "TPE1", ""},
      {"HeaderOnly", "ID3\x04\0\0\0\0\0\x10"s, "TIT2", ""},
      {"ShortHeader", "ID3\x04"s, "TIT2", ""},
      {"UnknownVersion", Id3v2Tag(5, second), "TPE1", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ExactBytes exact(c.tag);
    EXPECT_EQ(id3v2::FrameText(exact.view(), c.id), c.expected);
  }
}

TEST(Id3v2Test, EveryTruncationIsReadSafely) {
  for (const int version : {2, 3, 4}) {
    const std::string tag = version == 2
        ? Id3v2Tag(2, FrameV22("TT2", "\x00Song"s) + FrameV22("COM", "\x01" "eng\xFF\xFE\0\0"s + Utf16LeWithBom("c")))
        : MixedEncodingTag(version);
    for (std::size_t size = 0; size <= tag.size(); ++size) {
      const ExactBytes exact(std::string_view(tag).substr(0, size));
      for (const char* id : {"TIT2", "TPE1", "TALB", "COMM", "TRCK"}) {
        const std::string text = id3v2::FrameText(exact.view(), id);
        const std::string whole = id3v2::FrameText(tag, id);
        // A frame cut by the end of the block is not read at all, never in part.
        EXPECT_TRUE(text.empty() || text == whole) << version << " " << size << " " << id;
      }
    }
  }
}

TEST(Id3v2Test, UserTextFramesByDescription) {
  const std::string tag = Id3v2Tag(4, Frame(4, "TXXX", "\x03" "other\0x"s) +
                                          Frame(4, "TXXX", "\x01"s + Utf16LeWithBom("comment") +
                                                               "\0\0"s + Utf16LeWithBom("Live")));
  EXPECT_EQ(id3v2::UserText(tag, "COMMENT"), "Live");
  EXPECT_EQ(id3v2::UserText(tag, "other"), "x");
  EXPECT_EQ(id3v2::UserText(tag, "missing"), "");
}

TEST(Id3v2Test, GenreReferencesAreNamed) {
  const std::map<std::string, std::string> cases = {
      {"(17)", "Rock"},          {"17", "Rock"},   {"(79)", "Hard Rock"},
      {"(17)Rock & Roll", "Rock & Roll"},          {"(RX)", "Remix"},
      {"(CR)", "Cover"},         {"((Weird))", "(Weird))"},
      {"(200)", "(200)"},        {"200", "200"},   {"Synthwave", "Synthwave"},
      {"", ""},                  {"(17", "(17"},
  };
  for (const auto& [tcon, expected] : cases) EXPECT_EQ(id3v2::GenreText(tcon), expected) << tcon;
}

TEST(Id3v1Test, ReadsFieldsTrackAndGenre) {
  const std::string thirty(30, 'x');
  const auto v11 = id3v1::Parse(test::Id3v1Block(thirty, "Band  ", "Album", "1999", "Nice", 7, 17));
  ASSERT_TRUE(v11);
  EXPECT_EQ(v11->title, thirty);  // all 30 characters without a NUL
  EXPECT_EQ(v11->artist, "Band");
  EXPECT_EQ(v11->album, "Album");
  EXPECT_EQ(v11->year, "1999");
  EXPECT_EQ(v11->comment, "Nice");
  EXPECT_EQ(v11->track, 7);
  EXPECT_EQ(id3v1::GenreName(v11->genre), "Rock");

  // ID3v1.0: the comment takes all 30 bytes, there is no track.
  const auto v10 = id3v1::Parse(test::Id3v1Block("T", "A", "", "", std::string(30, 'c'), 0, 200));
  ASSERT_TRUE(v10);
  EXPECT_EQ(v10->comment, std::string(30, 'c'));
  EXPECT_EQ(v10->track, 0);
  EXPECT_EQ(id3v1::GenreName(v10->genre), "");

  // Bytes that are not UTF-8 are read as Windows-1252.
  const auto latin = id3v1::Parse(test::Id3v1Block("Caf\xE9 \x80", "", "", "", "", 0, 0));
  EXPECT_EQ(latin->title, "Caf\xC3\xA9 \xE2\x82\xAC");

  EXPECT_FALSE(id3v1::Parse("TAG short"));
  EXPECT_FALSE(id3v1::Parse(std::string(128, 'x')));
}

TEST(Id3v1Test, GenreTableEnds) {
  EXPECT_EQ(id3v1::GenreName(0), "Blues");
  EXPECT_EQ(id3v1::GenreName(17), "Rock");
  EXPECT_EQ(id3v1::GenreName(79), "Hard Rock");
  EXPECT_EQ(id3v1::GenreName(80), "");
  EXPECT_EQ(id3v1::GenreName(255), "");
  EXPECT_EQ(id3v1::GenreName(-1), "");
}

TEST(NameListTest, FindsTheFirstEntryOfTheName) {
  const std::string list = "TITLEX=wrong\0title=First\0TITLE=Second\0ARTIST=\0\0after=end\0\0"s;
  EXPECT_EQ(tag_list::Value(list, "TITLE"), "First");
  EXPECT_EQ(tag_list::Value(list, "Title"), "First");
  EXPECT_EQ(tag_list::Value(list, "ARTIST"), "");
  EXPECT_EQ(tag_list::Value(list, "after"), "");  // beyond the empty entry that ends the list
  EXPECT_EQ(tag_list::Value(list, ""), "");
  // A list cut without its terminators ends with its bytes.
  const ExactBytes cut("album=Cut Short"s);
  EXPECT_EQ(tag_list::Value(cut.view(), "ALBUM"), "Cut Short");
  const ExactBytes name_only("album"s);
  EXPECT_EQ(tag_list::Value(name_only.view(), "ALBUM"), "");
}

TEST(StreamMetaTest, HeaderLookUp) {
  const std::string icy =
      "ICY 200 OK\r\nicy-name:  Radio X\r\nICY-GENRE:\tJazz\r\nicy-br:128\r\n\r\nicy-url:late\r\n"s;
  EXPECT_EQ(stream_meta::HeaderValue(icy, "icy-name"), "Radio X");
  EXPECT_EQ(stream_meta::HeaderValue(icy, "icy-genre"), "Jazz");
  EXPECT_EQ(stream_meta::HeaderValue(icy, "icy-br"), "128");
  EXPECT_EQ(stream_meta::HeaderValue(icy, "icy-url"), "");   // after the empty line
  EXPECT_EQ(stream_meta::HeaderValue(icy, "icy"), "");       // a prefix is not the name
  const std::string nul_separated = "HTTP/1.1 200 OK\0icy-name:Station\0\0"s;
  EXPECT_EQ(stream_meta::HeaderValue(nul_separated, "ICY-NAME"), "Station");
  const ExactBytes cut("icy-name: Cut"s);
  EXPECT_EQ(stream_meta::HeaderValue(cut.view(), "icy-name"), "Cut");
}

TEST(StreamMetaTest, StreamTitleField) {
  const std::map<std::string, std::string> cases = {
      {"StreamTitle='Daft Punk - One More Time';StreamUrl='';", "Daft Punk - One More Time"},
      {"StreamTitle='It''s open", "It''s open"},
      {"StreamTitle='Closed at end'", "Closed at end"},
      {"StreamTitle=\"Quoted\";", "Quoted"},
      {"StreamUrl='x';", ""},
      {"StreamTitle='';", ""},
  };
  for (const auto& [meta, expected] : cases) {
    EXPECT_EQ(stream_meta::FieldValue(meta, "StreamTitle"), expected) << meta;
  }
}

TEST(StreamMetaTest, SplitsStreamTitles) {
  struct Case {
    std::string title;
    std::string artist;
    std::string song;
    std::string joined;
  };
  const Case cases[] = {
      {"Daft Punk - One More Time", "Daft Punk", "One More Time", "Daft Punk - One More Time"},
      {"Artist - text=\"Song\" song_spot=\"M\"", "Artist", "Song", "Artist - Song"},
      {"title=\"Song\" artist=\"Band\"", "Band", "Song", "Band - Song"},
      {"title=\"Song\"", "", "Song", "Song"},
      {"Just a jingle", "", "Just a jingle", "Just a jingle"},
      {" - ", "", "", " - "},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const auto parts = stream_meta::SplitStreamTitle(c.title);
    EXPECT_EQ(parts.artist, c.artist);
    EXPECT_EQ(parts.title, c.song);
    EXPECT_EQ(stream_meta::JoinedStreamTitle(c.title), c.joined);
  }
}

// Blocks handed in by the test instead of a channel.
TagBlockFetch Blocks(std::map<audio::TagBlock, std::string> blocks) {
  return [blocks = std::move(blocks)](audio::TagBlock block) -> std::optional<std::string> {
    const auto found = blocks.find(block);
    if (found == blocks.end()) return std::nullopt;
    return found->second;
  };
}

TEST(GetTagTest, SourcesAreConsultedInOrder) {
  using audio::TagBlock;
  const std::string id3 = MixedEncodingTag(4);
  // The lists come before ID3v2; ID3v2 before stream headers.
  const auto fetch = Blocks({{TagBlock::kMp4, "title=From MP4\0\0"s},
                             {TagBlock::kVorbis, "ALBUM=From Vorbis\0\0"s},
                             {TagBlock::kId3v2, id3},
                             {TagBlock::kIcy, "icy-name:Station\0icy-genre:Talk\0\0"s}});
  EXPECT_EQ(GetTagFrom(fetch, "TITLE"), "From MP4");
  EXPECT_EQ(GetTagFrom(fetch, "album"), "From Vorbis");
  EXPECT_EQ(GetTagFrom(fetch, "ARTIST"), "Band");
  EXPECT_EQ(GetTagFrom(fetch, "GENRE"), "Rock");
  EXPECT_EQ(GetTagFrom(fetch, "TRACKNUMBER"), "5/12");
  EXPECT_EQ(GetTagFrom(fetch, "COMMENT"), "Live recording");
  EXPECT_EQ(GetTagFrom(fetch, "DATE"), "");
  EXPECT_EQ(GetTagFrom(fetch, "DESCRIPTION"), "");
}

TEST(GetTagTest, RiffInfoItemIdsAndUserTexts) {
  using audio::TagBlock;
  const auto riff = Blocks({{TagBlock::kRiffInfo, "INAM=Wave Title\0IART=Wave Artist\0\0"s}});
  EXPECT_EQ(GetTagFrom(riff, "TITLE"), "Wave Title");
  EXPECT_EQ(GetTagFrom(riff, "ARTIST"), "Wave Artist");
  // What the ffmpeg program writes for a comment in an MP3: a TXXX frame named "comment".
  const auto txxx = Blocks({{TagBlock::kId3v2, Id3v2Tag(4, Frame(4, "TXXX", "\x03" "comment\0Hi"s))}});
  EXPECT_EQ(GetTagFrom(txxx, "COMMENT"), "Hi");
}

TEST(GetTagTest, StreamHeadersAndTitles) {
  using audio::TagBlock;
  const auto radio = Blocks({{TagBlock::kIcy, "ICY 200 OK\0icy-name:Radio X\0icy-genre:Pop\0icy-br:128\0\0"s},
                             {TagBlock::kMeta, "StreamTitle='Daft Punk - One More Time';"s}});
  EXPECT_EQ(GetTagFrom(radio, "TITLE"), "One More Time");
  EXPECT_EQ(GetTagFrom(radio, "ARTIST"), "Daft Punk");
  EXPECT_EQ(GetTagFrom(radio, "GENRE"), "Pop");
  EXPECT_EQ(GetStreamTitleFrom(radio), "Daft Punk - One More Time");
  EXPECT_EQ(GetStationNameFrom(radio), "Radio X");
  EXPECT_EQ(GetStationBitrateFrom(radio), 128);

  // Without a stream title, the station's name stands for the title.
  const auto quiet = Blocks({{TagBlock::kIcy, "icy-name:Radio X\0\0"s}, {TagBlock::kMeta, "StreamTitle='';"s}});
  EXPECT_EQ(GetTagFrom(quiet, "TITLE"), "Radio X");
  EXPECT_EQ(GetTagFrom(quiet, "ARTIST"), "");
  EXPECT_EQ(GetStreamTitleFrom(quiet), "");

  const auto http = Blocks({{TagBlock::kHttp, "HTTP/1.1 200 OK\0icy-name:Web Radio\0icy-genre:Rock\0icy-br:bad\0\0"s}});
  EXPECT_EQ(GetTagFrom(http, "TITLE"), "Web Radio");
  EXPECT_EQ(GetTagFrom(http, "GENRE"), "Rock");
  EXPECT_EQ(GetTagFrom(http, "ARTIST"), "");
  EXPECT_EQ(GetStationBitrateFrom(http), 0);
}

}  // namespace
}  // namespace kestrel
