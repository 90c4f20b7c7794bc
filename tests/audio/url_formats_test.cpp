// Stream kinds beyond plain HTTP: HLS playlists through our own reader, AAC in ADTS frames with
// either attempt of the pair, and https with the test CA (and refused without a trusted one).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "audio/audio.h"
#include "audio/url_stream_fixture.h"
#include "net/fixture_tls_server.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTrustedHost = "radio.kestrel.test";
constexpr const char* kUntrustedHost = "untrusted.kestrel.test";

struct HttpsServers {
  TempFolder folder;
  std::unique_ptr<FixtureTlsServer> trusted;
  std::unique_ptr<FixtureTlsServer> untrusted;
  std::string error;
};
HttpsServers* g_https = nullptr;

// The routing and the trusted CA are read by the process's first transfer, so the servers start
// before any test.
class HttpsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    g_https = new HttpsServers();
    const auto root = g_https->folder.path();
    std::filesystem::create_directories(root / "trusted");
    std::filesystem::create_directories(root / "untrusted");
    const TestCertificates certificates = MakeTestCertificates(root, {kTrustedHost}, {kUntrustedHost});
    if (!certificates.error.empty()) {
      g_https->error = certificates.error;
      return;
    }
    g_https->trusted = std::make_unique<FixtureTlsServer>(root / "trusted", certificates.server_cert,
                                                          certificates.server_key);
    g_https->untrusted = std::make_unique<FixtureTlsServer>(
        root / "untrusted", certificates.self_signed_cert, certificates.self_signed_key);
    if (g_https->trusted->port() == 0 || g_https->untrusted->port() == 0) {
      g_https->error = "s_server did not start";
      return;
    }
    const std::string routes =
        std::string(kTrustedHost) + ":443:127.0.0.1:" + std::to_string(g_https->trusted->port()) +
        "," + kUntrustedHost + ":443:127.0.0.1:" + std::to_string(g_https->untrusted->port());
    setenv("KESTREL_CONNECT_TO", routes.c_str(), 1);
    setenv("KESTREL_CA_FILE", certificates.ca_file.c_str(), 1);
  }
  void TearDown() override {
    delete g_https;
    g_https = nullptr;
  }
};
const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new HttpsEnvironment());

TEST_F(UrlStreamTest, HttpsPlaysWithTheTestCaAndFailsWithoutATrustedCertificate) {
  ASSERT_NE(g_https, nullptr);
  ASSERT_EQ(g_https->error, "");
  const std::string response = HttpResponse(200, Media().mp3, "Content-Type: audio/mpeg\r\n");
  g_https->trusted->Serve("episode.mp3", response);
  g_https->untrusted->Serve("episode.mp3", response);

  const audio::Handle channel = audio::CreateUrlStream(
      std::string("https://") + kTrustedHost + "/episode.mp3", audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  const Drained drained = DrainDecodingChannel(channel);
  EXPECT_TRUE(drained.ended);
  EXPECT_LE(MaxDifference(drained.samples, DecodeFile(Media().mp3_file), 2 * 44100 * 2), 1e-6f);
  audio::FreeStream(channel);

  EXPECT_EQ(audio::CreateUrlStream(std::string("https://") + kUntrustedHost + "/episode.mp3",
                                   audio::kStreamDecode),
            0u);
  EXPECT_EQ(audio::LastError(), audio::kErrorSsl);
}

// An HLS playlist of two segments plays whole, found by its path or by its type alone, each
// segment fetched through our reader.
TEST_F(UrlStreamTest, HlsPlaylistPlaysItsSegments) {
  const auto& folder = Media().hls_folder;
  const std::string playlist = ReadWholeFile(folder / "list.m3u8");
  ASSERT_NE(playlist.find("seg1.ts"), std::string::npos) << playlist;
  ASSERT_EQ(playlist.find("seg2.ts"), std::string::npos) << playlist;
  const std::string mpegurl = "Content-Type: application/vnd.apple.mpegurl\r\n";
  server().Serve("/hls/list.m3u8", HttpResponse(200, playlist, mpegurl));
  server().Serve("/hls/live", HttpResponse(200, playlist, mpegurl));
  for (const char* segment : {"seg0.ts", "seg1.ts"}) {
    server().Serve(std::string("/hls/") + segment,
                   HttpResponse(200, ReadWholeFile(folder / segment), "Content-Type: video/mp2t\r\n"));
  }
  for (const char* target : {"/hls/list.m3u8", "/hls/live"}) {
    SCOPED_TRACE(target);
    const std::size_t fetched = server().RequestsFor("/hls/seg1.ts").size();
    const audio::Handle channel = audio::CreateUrlStream(StreamUrl(target), audio::kStreamDecode);
    ASSERT_NE(channel, 0u) << audio::LastError();
    audio::ChannelInfo info;
    ASSERT_TRUE(audio::GetInfo(channel, &info));
    EXPECT_EQ(info.codec, "AAC");
    // A finished playlist has its length; seeking is not offered.
    EXPECT_NEAR(audio::BytesToSeconds(channel, audio::GetLength(channel)), 3.0, 0.1);
    EXPECT_FALSE(audio::SetPosition(channel, 0));
    const Drained drained = DrainDecodingChannel(channel);
    EXPECT_TRUE(drained.ended);
    // Both segments: about 3 s of sound (AAC adds its priming at the start).
    EXPECT_NEAR(static_cast<double>(drained.samples.size()) / 2 / 44100, 3.0, 0.1);
    EXPECT_EQ(server().RequestsFor("/hls/seg1.ts").size(), fetched + 1);
    audio::FreeStream(channel);
  }
}

// AAC in ADTS frames opens with either attempt of the pair, and preferring AAC does not keep
// an MP3 station from opening.
TEST_F(UrlStreamTest, EitherAttemptOpensAacAndMp3Stations) {
  server().Serve("/aac", "HTTP/1.0 200 OK\r\nContent-Type: audio/aacp\r\n\r\n" + Media().adts);
  server().Serve("/mp3", "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + Media().mp3);
  const struct {
    const char* target;
    bool prefer_aac;
    const char* codec;
  } cases[] = {{"/aac", true, "AAC"}, {"/aac", false, "AAC"}, {"/mp3", true, "MP3"}, {"/mp3", false, "MP3"}};
  for (const auto& attempt : cases) {
    SCOPED_TRACE(std::string(attempt.target) + (attempt.prefer_aac ? " preferring AAC" : ""));
    const audio::Handle channel = audio::CreateUrlStream(StreamUrl(attempt.target), audio::kStreamDecode,
                                                         {.prefer_aac = attempt.prefer_aac});
    ASSERT_NE(channel, 0u) << audio::LastError();
    audio::ChannelInfo info;
    ASSERT_TRUE(audio::GetInfo(channel, &info));
    EXPECT_EQ(info.codec, attempt.codec);
    const Drained drained = DrainDecodingChannel(channel);
    EXPECT_TRUE(drained.ended);
    EXPECT_NEAR(static_cast<double>(drained.samples.size()) / 2 / 44100, 3.0, 0.1);
    audio::FreeStream(channel);
  }
}

}  // namespace
}  // namespace kestrel::test
