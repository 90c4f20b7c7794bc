#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "net/fixture_http_server.h"
#include "support/temp_folder.h"

// What the internet-stream suites share: one HTTP fixture server on 127.0.0.1, the media it
// serves (made once with the ffmpeg program) and ways to read a channel to its end.
namespace kestrel::test {

struct StreamMedia {
  std::string mp3;   // 3 s chirp, MP3 at 128 kbit/s (constant)
  std::string adts;  // the same as AAC in ADTS frames
  std::string wav;   // the same as 16-bit WAV
  std::filesystem::path mp3_file;
  std::filesystem::path wav_file;
  std::filesystem::path hls_folder;  // list.m3u8 and its segments seg0.ts, seg1.ts
};
// Made on first use; ADD_FAILURE when ffmpeg fails.
const StreamMedia& Media();

FixtureHttpServer& StreamServer();
std::string StreamUrl(const std::string& target);  // "http://127.0.0.1:<port><target>"

// Interleaves ICY metadata into `audio`: after every `metaint` bytes a length byte and the block
// of `titles(block_index)` ("" gives a zero-length block), NUL-padded to a multiple of 16.
std::string WithIcyMetadata(const std::string& audio, std::size_t metaint,
                            const std::function<std::string(int)>& titles);

// Sends `body` in pieces of `piece` bytes with `pause_ms` between them; false once the client
// has gone or the server stops.
bool SendPaced(FixtureConnection& connection, const std::string& body, std::size_t piece,
               int pause_ms);

// Reads a decoding channel to its end (waiting while it has nothing yet). Stops at the deadline.
struct Drained {
  std::vector<float> samples;
  bool ended = false;  // GetData reported the end
};
Drained DrainDecodingChannel(audio::Handle channel,
                             std::chrono::milliseconds deadline = std::chrono::seconds(20),
                             std::int64_t max_frames = -1);

// The file's decoded samples through the layer's own file decoder.
std::vector<float> DecodeFile(const std::filesystem::path& file);

// The network options every suite starts from: a short time-out, restored afterwards.
class UrlStreamTest : public ::testing::Test {
 protected:
  static constexpr int kTimeoutMs = 1500;
  void SetUp() override;
  void TearDown() override;
  FixtureHttpServer& server() { return StreamServer(); }
};

// Largest difference between the first `count` samples of two decodes; infinity when either has
// fewer.
float MaxDifference(const std::vector<float>& a, const std::vector<float>& b, std::size_t count);

}  // namespace kestrel::test
