// Internet streams against the fixture server: live radio (ICY and HTTP forms, chunked), finite
// files with their download-complete sync and seeking, and the prebuffer after running dry.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "audio/audio.h"
#include "audio/support/null_output_fixture.h"
#include "audio/url_stream_fixture.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr std::size_t kMetaint = 4096;

std::string Title(int index) {
  return "StreamTitle='Artist " + std::to_string(index) + " - Song " + std::to_string(index) +
         "';StreamUrl='';";
}

// Odd blocks are empty; each title fills two non-empty blocks in a row, so an unchanged title
// arrives again and must not count as new.
std::string TitleOfBlock(int block) { return block % 2 == 1 ? "" : Title(block / 4); }

std::string IcyHead(const std::string& status_line) {
  return status_line +
         "\r\nicy-name: Kestrel Test FM\r\nicy-genre: Test\r\nicy-br: 128\r\n"
         "icy-metaint: 4096\r\nContent-Type: audio/mpeg\r\n\r\n";
}

std::string ChunkedBody(const std::string& data, std::size_t piece) {
  std::string body;
  char size[32];
  for (std::size_t offset = 0; offset < data.size(); offset += piece) {
    const std::string part = data.substr(offset, piece);
    std::snprintf(size, sizeof size, "%zx\r\n", part.size());
    body += size + part + "\r\n";
  }
  return body + "0\r\n\r\n";
}

struct LiveForm {
  const char* name;
  std::string response;  // head and body as sent
};

void PrintTo(const LiveForm& form, std::ostream* out) { *out << form.name; }

std::vector<LiveForm> LiveForms() {
  const std::string& mp3 = Media().mp3;
  return {
      {"icy-200-ok", IcyHead("ICY 200 OK") + WithIcyMetadata(mp3, kMetaint, TitleOfBlock)},
      {"http-1.0-icy", IcyHead("HTTP/1.0 200 OK") + WithIcyMetadata(mp3, kMetaint, TitleOfBlock)},
      {"chunked", "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nTransfer-Encoding: chunked\r\n\r\n" +
                      ChunkedBody(mp3, 3000)},
  };
}

class LiveStreamTest : public UrlStreamTest, public ::testing::WithParamInterface<LiveForm> {};

// Every live form decodes to exactly what the file decodes to (metadata bytes taken out of the
// audio, chunks joined), has no length, cannot seek, and ends when the server closes.
TEST_P(LiveStreamTest, DecodesLikeTheFileAndHasNoLength) {
  const LiveForm& form = GetParam();
  const std::string target = std::string("/live-") + form.name;
  server().Handle(target, [response = form.response](const FixtureRequest&, FixtureConnection& c) {
    SendPaced(c, response, 5000, 2);
  });
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl(target), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  EXPECT_EQ(audio::GetLength(channel), -1);
  EXPECT_FALSE(audio::SetPosition(channel, 0));
  // Header blocks only with kStreamStatus.
  EXPECT_FALSE(audio::GetTags(channel, audio::TagBlock::kHttp).has_value());
  EXPECT_FALSE(audio::GetTags(channel, audio::TagBlock::kIcy).has_value());
  audio::ChannelInfo info;
  ASSERT_TRUE(audio::GetInfo(channel, &info));
  EXPECT_EQ(info.sample_rate, kRate);
  EXPECT_EQ(info.codec, "MP3");

  const Drained streamed = DrainDecodingChannel(channel);
  EXPECT_TRUE(streamed.ended);
  const std::vector<float> file = DecodeFile(Media().mp3_file);
  // The file decoder stops at the encoder's padding; a stream cannot know where that is.
  EXPECT_GE(streamed.samples.size(), file.size());
  EXPECT_LE(MaxDifference(streamed.samples, file, file.size()), 1e-6f);
  EXPECT_TRUE(audio::FreeStream(channel));
}

INSTANTIATE_TEST_SUITE_P(Forms, LiveStreamTest, ::testing::ValuesIn(LiveForms()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

struct RadioCase {
  const char* status_line;
  audio::TagBlock headers_block;  // where the response headers are kept
  audio::TagBlock absent_block;
};

class RadioPlaybackTest : public NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    Media();
    audio::SetConfig(audio::Config::kNetTimeoutMs, 1500);
  }
  void TearDown() override {
    audio::SetConfig(audio::Config::kNetTimeoutMs, 5000);
    audio::SetNetAgent("");
    NullOutputTest::TearDown();
  }
};

// A radio station in both answer forms plays through a tempo stream on the null device: each
// new title raises one metadata sync (the repeated block none), the header block holds the
// station's name and bitrate, the request asked for metadata with our agent, and the channel
// ends when the station closes.
TEST_F(RadioPlaybackTest, PlaysAndReportsEachNewTitle) {
  const RadioCase cases[] = {
      {"ICY 200 OK", audio::TagBlock::kIcy, audio::TagBlock::kHttp},
      {"HTTP/1.0 200 OK", audio::TagBlock::kHttp, audio::TagBlock::kIcy},
  };
  FixtureHttpServer& server = StreamServer();
  for (const RadioCase& radio : cases) {
    SCOPED_TRACE(radio.status_line);
    const std::string target = std::string("/radio-") + (radio.headers_block == audio::TagBlock::kIcy ? "icy" : "http");
    const std::string body = WithIcyMetadata(Media().mp3, kMetaint, TitleOfBlock);
    // A title every four blocks: one every 200 ms at this pace.
    server.Handle(target, [head = IcyHead(radio.status_line), body](const FixtureRequest&, FixtureConnection& c) {
      if (c.Send(head)) SendPaced(c, body, kMetaint + 1, 50);
    });
    audio::SetNetAgent("KestrelTest/2.0");
    const audio::Handle source = audio::CreateUrlStream(
        StreamUrl(target), audio::kStreamDecode | audio::kStreamStatus, {.prefer_aac = true});
    ASSERT_NE(source, 0u) << audio::LastError();
    std::mutex mutex;
    std::vector<std::string> titles;
    ASSERT_NE(audio::SetSync(source, audio::SyncType::kMeta, false,
                             [&](audio::Handle, audio::Handle channel) {
                               std::lock_guard lock(mutex);
                               titles.push_back(audio::GetTags(channel, audio::TagBlock::kMeta).value_or("?"));
                             }),
              0u);
    const audio::Handle played = audio::CreateTempoStream(source, audio::kStreamFreeSource);
    ASSERT_NE(played, 0u);
    ASSERT_TRUE(audio::Play(played, false));

    EXPECT_EQ(audio::GetLength(played), -1);
    const auto headers = audio::GetTags(source, radio.headers_block);
    ASSERT_TRUE(headers.has_value());
    EXPECT_TRUE(headers->starts_with(radio.status_line)) << *headers;
    EXPECT_NE(headers->find(std::string("icy-name: Kestrel Test FM") + '\0'), std::string::npos);
    EXPECT_NE(headers->find(std::string("icy-br: 128") + '\0'), std::string::npos);
    EXPECT_TRUE(headers->ends_with(std::string("\0\0", 2)));
    EXPECT_FALSE(audio::GetTags(source, radio.absent_block).has_value());
    float bitrate = 0;
    EXPECT_TRUE(audio::GetAttribute(played, audio::Attribute::kBitrate, &bitrate));
    EXPECT_NEAR(bitrate, 128, 1);

    EXPECT_TRUE(WaitUntilStopped(played, 20s));
    const auto requests = server.RequestsFor(target);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Icy-MetaData"), "1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "KestrelTest/2.0");
    std::this_thread::sleep_for(50ms);  // the last sync runs on the sync thread
    {
      std::lock_guard lock(mutex);
      EXPECT_EQ(titles, (std::vector<std::string>{Title(0), Title(1), Title(2)}));
    }
    EXPECT_TRUE(audio::FreeStream(played));
  }
  const WavContents mix = TakeRecording();
  // Both stations' 3 s were heard.
  EXPECT_GT(SoundFrames(mix), 5 * kRate);
}

// A finite file: its length is known from the start, the download-complete sync fires once, and
// it seeks exactly within what has been downloaded.
TEST_F(UrlStreamTest, FiniteFileHasLengthCompletesOnceAndSeeks) {
  server().Handle("/episode.wav", [](const FixtureRequest&, FixtureConnection& c) {
    const std::string& wav = Media().wav;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: audio/wav\r\nAccept-Ranges: bytes\r\n"
                             "Content-Length: " + std::to_string(wav.size()) + "\r\n\r\n";
    if (c.Send(head)) SendPaced(c, wav, 32768, 5);
  });
  const audio::Handle file = audio::CreateFileStream(Media().wav_file.string(), audio::kStreamDecode);
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl("/episode.wav"), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  EXPECT_EQ(audio::GetLength(channel), audio::GetLength(file));
  std::atomic<int> completions{0};
  ASSERT_NE(audio::SetSync(channel, audio::SyncType::kDownloadComplete, false,
                           [&](audio::Handle, audio::Handle) { ++completions; }),
            0u);

  const std::vector<float> expected = DecodeFile(Media().wav_file);
  const Drained first = DrainDecodingChannel(channel, 20s, kRate / 2);
  EXPECT_LE(MaxDifference(first.samples, expected, kRate), 0.0f);
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (completions == 0 && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(5ms);

  // Back and forth within the download, each landing exactly.
  for (const std::int64_t frame : {std::int64_t{2 * kRate}, std::int64_t{1000}, std::int64_t{kRate + 17}}) {
    SCOPED_TRACE(frame);
    ASSERT_TRUE(audio::SetPosition(channel, frame * 8)) << audio::LastError();
    const Drained after = DrainDecodingChannel(channel, 10s, 4096);
    const std::vector<float> tail(expected.begin() + frame * 2, expected.end());
    EXPECT_LE(MaxDifference(after.samples, tail, 8192), 0.0f);
  }
  const Drained rest = DrainDecodingChannel(channel);
  EXPECT_TRUE(rest.ended);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(completions.load(), 1);
  audio::FreeStream(channel);
  audio::FreeStream(file);
}

// Read in small blocks, a file with a known length keeps no whole download and never seeks,
// yet plays whole.
TEST_F(UrlStreamTest, SmallBlocksNeverSeek) {
  server().Serve("/blocks.wav", HttpResponse(200, Media().wav, "Content-Type: audio/wav\r\n"));
  const audio::Handle channel =
      audio::CreateUrlStream(StreamUrl("/blocks.wav"), audio::kStreamDecode | audio::kStreamBlock);
  ASSERT_NE(channel, 0u) << audio::LastError();
  const Drained first = DrainDecodingChannel(channel, 10s, 4096);
  EXPECT_FALSE(audio::SetPosition(channel, 0));
  EXPECT_EQ(audio::LastError(), audio::kErrorNotFile);
  const Drained rest = DrainDecodingChannel(channel);
  EXPECT_TRUE(rest.ended);
  std::vector<float> heard = first.samples;
  heard.insert(heard.end(), rest.samples.begin(), rest.samples.end());
  const std::vector<float> expected = DecodeFile(Media().wav_file);
  EXPECT_EQ(heard.size(), expected.size());
  EXPECT_LE(MaxDifference(heard, expected, expected.size()), 0.0f);
  audio::FreeStream(channel);
}

// A seek past what has arrived fails at once instead of waiting for the download, and the
// stream goes on from where it was.
TEST_F(UrlStreamTest, SeekPastTheDownloadFailsAndPlaybackGoesOn) {
  audio::SetConfig(audio::Config::kNetTimeoutMs, 10000);
  auto release = std::make_shared<std::atomic<bool>>(false);
  server().Handle("/slow.wav", [release](const FixtureRequest&, FixtureConnection& c) {
    const std::string& wav = Media().wav;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: audio/wav\r\nContent-Length: " +
                             std::to_string(wav.size()) + "\r\n\r\n";
    const std::size_t half = wav.size() / 2;
    if (!c.Send(head) || !c.Send(std::string_view(wav).substr(0, half))) return;
    for (int waited = 0; !*release && waited < 1000; ++waited) {
      if (!c.Pause(10)) return;
    }
    c.Send(std::string_view(wav).substr(half));
  });
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl("/slow.wav"), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  const std::vector<float> expected = DecodeFile(Media().wav_file);
  const Drained first = DrainDecodingChannel(channel, 10s, kRate / 4);
  ASSERT_GE(first.samples.size(), static_cast<std::size_t>(kRate / 4 * 2));
  std::this_thread::sleep_for(100ms);  // the decoder runs ahead as far as the download goes

  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(audio::SetPosition(channel, std::int64_t{kRate} * 28 / 10 * 8));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);

  *release = true;
  const Drained rest = DrainDecodingChannel(channel);
  EXPECT_TRUE(rest.ended);
  std::vector<float> heard = first.samples;
  heard.insert(heard.end(), rest.samples.begin(), rest.samples.end());
  EXPECT_EQ(heard.size(), expected.size());
  EXPECT_LE(MaxDifference(heard, expected, expected.size()), 0.0f);
  audio::FreeStream(channel);
}

// After running dry a stream gives nothing until the prebuffer share of the network buffer has
// arrived; the first start does not wait for it.
TEST_F(UrlStreamTest, RunningDryWaitsForThePrebuffer) {
  // 64 KiB of buffer (the least there is; 2 s at 128 kbit/s is less), half of it to restart.
  audio::SetConfig(audio::Config::kNetBufferMs, 2000);
  audio::SetConfig(audio::Config::kNetPrebufferPercent, 50);
  audio::SetConfig(audio::Config::kNetTimeoutMs, 10000);
  auto stage = std::make_shared<std::atomic<int>>(0);
  // 5 s of MP3 would be better, but the 3 s chirp (48 kB) sent twice makes a longer station.
  const std::string audio_bytes = Media().mp3 + Media().mp3;
  server().Handle("/dry", [stage, audio_bytes](const FixtureRequest&, FixtureConnection& c) {
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-br: 128\r\n\r\n";
    const std::size_t cuts[] = {12000, 28000, 80000, audio_bytes.size()};
    if (!c.Send(head)) return;
    std::size_t sent = 0;
    for (int step = 0; step < 4; ++step) {
      while (*stage < step) {
        if (!c.Pause(5)) return;
      }
      if (!c.Send(std::string_view(audio_bytes).substr(sent, cuts[step] - sent))) return;
      sent = cuts[step];
    }
  });
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl("/dry"), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  std::vector<float> buffer(8192);
  auto read_now = [&] {
    std::int64_t total = 0;
    for (std::int64_t got; (got = audio::GetData(channel, buffer.data(), 32768)) > 0;) total += got;
    return total;
  };
  // 12 kB is far below the prebuffer, yet the start plays it, even when asked for before the
  // decoder has given anything (as a channel started at once asks).
  const std::int64_t at_once = read_now();
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(at_once + read_now(), 0);
  std::this_thread::sleep_for(200ms);
  read_now();  // dry now
  *stage = 1;  // 16 kB more: a quarter of the buffer
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(read_now(), 0);
  *stage = 2;  // 52 kB more: past half of it
  std::this_thread::sleep_for(400ms);
  EXPECT_GT(read_now(), 0);
  *stage = 3;
  const Drained rest = DrainDecodingChannel(channel);
  EXPECT_TRUE(rest.ended);
  audio::FreeStream(channel);
}

}  // namespace
}  // namespace kestrel::test
