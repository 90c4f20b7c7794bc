#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/byte_reader.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/file_sources.h"
#include "audio/tag_blocks.h"
#include "support/temp_folder.h"

namespace kestrel::audio {
namespace {

using test::MakeChirpFile;
using test::ReadWholeFile;
using test::TempFolder;

// The entries of a "KEY=value" list block.
std::vector<std::string> Entries(const std::string& list) {
  std::vector<std::string> entries;
  std::size_t at = 0;
  while (at < list.size() && list[at] != '\0') {
    const std::size_t end = list.find('\0', at);
    entries.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  EXPECT_EQ(at + 1, list.size()) << "the list ends with an empty entry";
  return entries;
}

bool Contains(const std::vector<std::string>& entries, const std::string& entry) {
  return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

const std::vector<std::string> kTags = {"-metadata", "title=Hello", "-metadata",
                                        "artist=Ünïcode Band"};

TEST(FfmpegTagsTest, Id3BlocksAreTheFilesOwnBytes) {
  TempFolder folder;
  for (const char* version : {"3", "4"}) {
    SCOPED_TRACE(version);
    const std::string path = (folder.path() / (std::string("v") + version + ".mp3")).string();
    std::vector<std::string> args = {"-c:a", "libmp3lame", "-id3v2_version", version,
                                     "-write_id3v1", "1"};
    args.insert(args.end(), kTags.begin(), kTags.end());
    ASSERT_TRUE(MakeChirpFile(path, args, 0.5));
    const std::string bytes = ReadWholeFile(path);
    auto source = OpenFileSource(path);
    ASSERT_NE(source, nullptr);

    const auto id3v2 = source->Tags(TagBlock::kId3v2);
    ASSERT_TRUE(id3v2.has_value());
    ASSERT_GT(id3v2->size(), 10u);
    EXPECT_EQ(*id3v2, bytes.substr(0, id3v2->size()));
    EXPECT_EQ((*id3v2)[3], version[0] - '0');
    const std::size_t declared = ((*id3v2)[6] << 21) | ((*id3v2)[7] << 14) |
                                 ((*id3v2)[8] << 7) | (*id3v2)[9];
    EXPECT_EQ(id3v2->size(), 10 + declared);
    EXPECT_NE(id3v2->find("Hello"), std::string::npos);

    const auto id3v1 = source->Tags(TagBlock::kId3v1);
    ASSERT_TRUE(id3v1.has_value());
    EXPECT_EQ(*id3v1, bytes.substr(bytes.size() - 128));
    EXPECT_EQ(id3v1->substr(0, 8), "TAGHello");
    EXPECT_FALSE(source->Tags(TagBlock::kVorbis).has_value());
  }
}

TEST(FfmpegTagsTest, EachContainerGivesItsListBlock) {
  struct Case {
    const char* file;
    std::vector<std::string> encoder;
    TagBlock block;
    std::vector<std::string> expected;
  };
  // Keys stay as the file spells them (ffmpeg writes them in lower case); readers compare keys
  // without regard to case.
  const Case cases[] = {
      {"t.flac", {}, TagBlock::kVorbis, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.ogg", {"-c:a", "libvorbis"}, TagBlock::kVorbis, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.opus", {"-c:a", "libopus"}, TagBlock::kVorbis, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.wv", {}, TagBlock::kApe, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.m4a", {"-c:a", "aac"}, TagBlock::kMp4, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.wav", {}, TagBlock::kRiffInfo, {"title=Hello", "artist=Ünïcode Band"}},
      {"t.aiff", {}, TagBlock::kMediaFoundation, {"title=Hello"}},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = (folder.path() / c.file).string();
    std::vector<std::string> args = c.encoder;
    args.insert(args.end(), kTags.begin(), kTags.end());
    ASSERT_TRUE(MakeChirpFile(path, args, 0.5));
    auto source = OpenFileSource(path);
    ASSERT_NE(source, nullptr);
    const auto block = source->Tags(c.block);
    ASSERT_TRUE(block.has_value());
    const std::vector<std::string> entries = Entries(*block);
    for (const std::string& entry : c.expected) EXPECT_TRUE(Contains(entries, entry)) << entry;
    EXPECT_FALSE(source->Tags(TagBlock::kId3v2).has_value());
  }
}

TEST(FfmpegTagsTest, FilesWithoutTagsHaveNoBlocks) {
  TempFolder folder;
  const std::string path = (folder.path() / "bare.flac").string();
  ASSERT_TRUE(MakeChirpFile(path, {"-map_metadata", "-1", "-fflags", "+bitexact"}, 0.5));
  auto source = OpenFileSource(path);
  ASSERT_NE(source, nullptr);
  for (TagBlock block : {TagBlock::kId3v1, TagBlock::kId3v2, TagBlock::kApe, TagBlock::kMp4,
                         TagBlock::kHttp, TagBlock::kMeta}) {
    EXPECT_FALSE(source->Tags(block).has_value());
  }
}

// ---- hand-built blocks: what ffmpeg does not write -------------------------------------------

std::string Le32(std::uint32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

std::string ApeItem(const std::string& key, const std::string& value, std::uint32_t flags) {
  return Le32(static_cast<std::uint32_t>(value.size())) + Le32(flags) + key + '\0' + value;
}

std::string ApeTag(const std::vector<std::string>& items) {
  std::string body;
  for (const std::string& item : items) body += item;
  const auto size = static_cast<std::uint32_t>(body.size() + 32);
  return body + "APETAGEX" + Le32(2000) + Le32(size) +
         Le32(static_cast<std::uint32_t>(items.size())) + Le32(0) + std::string(8, '\0');
}

std::string VorbisComment(const std::vector<std::string>& entries) {
  std::string out = Le32(6) + "vendor" + Le32(static_cast<std::uint32_t>(entries.size()));
  for (const std::string& entry : entries) {
    out += Le32(static_cast<std::uint32_t>(entry.size())) + entry;
  }
  return out;
}

std::map<TagBlock, std::string> BlocksOf(std::string bytes) {
  auto reader = MakeMemoryReader(std::move(bytes));
  return ReadFileTagBlocks(*reader);
}

TEST(FfmpegTagsTest, ApeItemsTextOnlyWithMultipleValuesJoined) {
  const std::string ape = ApeTag({ApeItem("Title", "Song", 0),
                                  ApeItem("Artist", std::string("One\0Two", 7), 0),
                                  ApeItem("Cover Art (Front)", std::string("a\0\xff", 3), 2)});
  const std::string id3v1 = "TAG" + std::string(125, '\0');
  for (const std::string& file : {std::string(100, 'x') + ape, std::string(100, 'x') + ape + id3v1}) {
    const auto blocks = BlocksOf(file);
    ASSERT_TRUE(blocks.count(TagBlock::kApe));
    EXPECT_EQ(blocks.at(TagBlock::kApe), std::string("Title=Song\0Artist=One/Two\0\0", 27));
  }
}

TEST(FfmpegTagsTest, VorbisCommentsFromFlacBehindId3AndFromOggAcrossPages) {
  // A FLAC file with an ID3v2 tag in front: STREAMINFO, then the comment block as the last one.
  const std::string id3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x0A", 10) + std::string(10, '\0');
  const std::string comment = VorbisComment({"TITLE=Flac", "", "ALBUM=A"});
  std::string flac = id3 + "fLaC" + std::string("\x00\x00\x00\x22", 4) + std::string(34, '\0');
  flac += std::string(1, '\x84') + std::string(1, '\0') +
          static_cast<char>((comment.size() >> 8) & 0xFF) + static_cast<char>(comment.size() & 0xFF);
  flac += comment;
  auto blocks = BlocksOf(flac);
  EXPECT_EQ(blocks[TagBlock::kVorbis], std::string("TITLE=Flac\0ALBUM=A\0\0", 20));
  EXPECT_EQ(blocks[TagBlock::kId3v2], id3);

  // Ogg Vorbis whose comment packet (300 bytes and more) spans two pages.
  const std::string long_value(400, 'v');
  const std::string packet = "\x03vorbis" + VorbisComment({"TITLE=" + long_value}) + "\x01";
  auto page = [](std::uint32_t sequence, char type, const std::string& body,
                 const std::string& lacing) {
    return std::string("OggS\0", 5) + type + std::string(8, '\0') + Le32(7) + Le32(sequence) +
           Le32(0) + static_cast<char>(lacing.size()) + lacing + body;
  };
  const std::string identification = std::string("\x01vorbis", 7) + std::string(23, '\0');
  std::string ogg = page(0, '\x02', identification, std::string(1, '\x1e'));
  ogg += page(1, '\0', packet.substr(0, 255), std::string(1, '\xff'));
  const std::string rest = packet.substr(255);
  ogg += page(2, '\x01', rest, std::string(1, static_cast<char>(rest.size())));
  blocks = BlocksOf(ogg);
  EXPECT_EQ(blocks[TagBlock::kVorbis], "TITLE=" + long_value + std::string(2, '\0'));
}

TEST(FfmpegTagsTest, DamagedBlocksAreLeftOut) {
  const std::string cases[] = {
      // ID3v2 declaring more bytes than the file has.
      std::string("ID3\x04\x00\x00\x00\x00\x7F\x7F", 10) + "short",
      // ID3v2 with a size byte that is not syncsafe.
      std::string("ID3\x03\x00\x00\x00\x00\x00\x80", 10) + std::string(200, '\0'),
      // APE footer whose size reaches before the start of the file.
      std::string(10, 'x') + "APETAGEX" + Le32(2000) + Le32(5000) + Le32(1) + Le32(0) +
          std::string(8, '\0'),
      // A Vorbis comment counting more entries than it holds.
      "fLaC" + std::string("\x84\x00\x00\x10", 4) + Le32(0) + Le32(9) + Le32(100) + "ab",
      // Too short to hold anything.
      "TA",
      "",
  };
  for (const std::string& bytes : cases) {
    const auto blocks = BlocksOf(bytes);
    EXPECT_TRUE(blocks.empty()) << blocks.begin()->second;
  }
}

}  // namespace
}  // namespace kestrel::audio
