// The ICY metadata splitter: whatever the pieces the body arrives in, the audio comes out whole
// and each metadata block once, without its padding.
#include <gtest/gtest.h>

#include "audio/icy_demuxer.h"

namespace kestrel::audio {
namespace {

struct Split {
  std::string audio;
  std::vector<std::string> blocks;
};

Split Feed(std::size_t metaint, const std::string& body, std::size_t piece) {
  IcyDemuxer demuxer(metaint);
  Split split;
  for (std::size_t offset = 0; offset < body.size(); offset += piece) {
    demuxer.Feed(std::string_view(body).substr(offset, piece), &split.audio, &split.blocks);
  }
  return split;
}

std::string Block(const std::string& text) {
  std::string padded = text;
  padded.resize((text.size() + 15) / 16 * 16, '\0');
  return std::string(1, static_cast<char>(padded.size() / 16)) + padded;
}

struct DemuxCase {
  const char* name;
  std::size_t metaint;
  std::string body;
  Split expected;
};

TEST(IcyDemuxerTest, SplitsAudioFromMetadataInAnyPieces) {
  const std::string title = "StreamTitle='A - B';";
  const std::string sixteen = "StreamTitle='x';";  // exactly 16 bytes: no padding at all
  const std::string binary_audio("\0\x01\xff\0", 4);  // NULs in audio are audio
  const DemuxCase cases[] = {
      {"no metadata", 0, "abcdefgh", {"abcdefgh", {}}},
      {"one block", 4, "abcd" + Block(title) + "efgh", {"abcdefgh", {title}}},
      {"empty block", 4, "abcd" + std::string(1, '\0') + "efgh" + Block(sixteen) + "ij",
       {"abcdefghij", {sixteen}}},
      {"audio with NULs", 4, binary_audio + Block(title) + binary_audio,
       {binary_audio + binary_audio, {title}}},
      {"ends inside a block", 2, "ab" + Block(title).substr(0, 5), {"ab", {}}},
      {"largest block", 1, "a" + Block(std::string(255 * 16, 'm')) + "b",
       {"ab", {std::string(255 * 16, 'm')}}},
      {"only padding", 3, "abc" + std::string(1, '\x01') + std::string(16, '\0') + "d", {"abcd", {}}},
  };
  for (const DemuxCase& demux : cases) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{100000}}) {
      SCOPED_TRACE(std::string(demux.name) + " in pieces of " + std::to_string(piece));
      const Split split = Feed(demux.metaint, demux.body, piece);
      EXPECT_EQ(split.audio, demux.expected.audio);
      EXPECT_EQ(split.blocks, demux.expected.blocks);
    }
  }
}

}  // namespace
}  // namespace kestrel::audio
