// Addresses that cannot be played, and giving up: each failure of an open gives its own code
// within the time-out; a cancel or a free ends a waiting transfer at once; a body cut short
// ends the channel cleanly.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "audio/audio.h"
#include "audio/url_stream_fixture.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A port nobody listens on: bound, never listening, closed when the test ends.
class ClosedPort {
 public:
  ClosedPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~ClosedPort() { ::close(fd_); }
  std::uint16_t port() const { return port_; }

 private:
  int fd_ = -1;
  std::uint16_t port_ = 0;
};

// Holds the connection open without a byte until the server stops or the client goes.
void Stall(const FixtureRequest&, FixtureConnection& connection) { connection.Pause(20000); }

std::string FileResponse(const std::string& body, const std::string& type) {
  return HttpResponse(200, body, "Content-Type: " + type + "\r\n");
}

struct FailureCase {
  const char* name;
  std::string url;
  int error;
};

TEST_F(UrlStreamTest, EachFailedOpenGivesItsCode) {
  server().Serve("/page.html", FileResponse("<!DOCTYPE html><html><body>Radio</body></html>",
                                            "text/html; charset=utf-8"));
  server().Serve("/noise.bin", FileResponse(std::string(20000, '\x5a'), "application/octet-stream"));
  server().Serve("/loop", HttpResponse(302, "", "Location: /loop-2\r\n"));
  server().Serve("/loop-2", HttpResponse(302, "", "Location: /loop\r\n"));
  server().Serve("/gone", HttpResponse(410, "gone"));
  server().Handle("/stall", Stall);
  server().Handle("/stall-after-head", [](const FixtureRequest&, FixtureConnection& c) {
    if (c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")) c.Pause(20000);
  });
  ClosedPort closed;
  const FailureCase cases[] = {
      {"missing", StreamUrl("/missing"), audio::kErrorFileOpen},
      {"gone", StreamUrl("/gone"), audio::kErrorFileOpen},
      {"web page", StreamUrl("/page.html"), audio::kErrorFileForm},
      {"not audio", StreamUrl("/noise.bin"), audio::kErrorFileForm},
      {"redirect loop", StreamUrl("/loop"), audio::kErrorFileOpen},
      {"refused", "http://127.0.0.1:" + std::to_string(closed.port()) + "/radio", audio::kErrorFileOpen},
      {"other scheme", "ftp://127.0.0.1/radio.mp3", audio::kErrorFileOpen},
      {"stall before any byte", StreamUrl("/stall"), audio::kErrorTimeout},
      {"stall after the head", StreamUrl("/stall-after-head"), audio::kErrorTimeout},
  };
  for (const FailureCase& failure : cases) {
    SCOPED_TRACE(failure.name);
    const auto start = Clock::now();
    EXPECT_EQ(audio::CreateUrlStream(failure.url, audio::kStreamDecode), 0u);
    EXPECT_EQ(audio::LastError(), failure.error);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kTimeoutMs) + 1500ms);
  }
}

TEST_F(UrlStreamTest, RedirectChainIsFollowed) {
  server().Serve("/station", HttpResponse(301, "", "Location: /relay\r\n"));
  server().Serve("/relay", HttpResponse(307, "", "Location: " + StreamUrl("/episode.mp3") + "\r\n"));
  server().Serve("/episode.mp3", FileResponse(Media().mp3, "audio/mpeg"));
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl("/station"), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  EXPECT_GT(audio::GetLength(channel), 0);  // the last response's length
  const Drained drained = DrainDecodingChannel(channel);
  EXPECT_TRUE(drained.ended);
  EXPECT_LE(MaxDifference(drained.samples, DecodeFile(Media().mp3_file), 2 * 44100 * 2), 1e-6f);
  audio::FreeStream(channel);
}

TEST_F(UrlStreamTest, CancelEndsAStalledOpenAtOnce) {
  audio::SetConfig(audio::Config::kNetTimeoutMs, 20000);
  server().Handle("/stall", Stall);
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(200ms);
    cancel = true;
  });
  const auto start = Clock::now();
  EXPECT_EQ(audio::CreateUrlStream(StreamUrl("/stall"), audio::kStreamDecode, {.cancel = &cancel}), 0u);
  EXPECT_EQ(audio::LastError(), audio::kErrorCancelled);
  EXPECT_LT(Clock::now() - start, 1s);
  canceller.join();
}

// Freeing returns at once whether the download waits for room (an endless station nobody reads)
// or the decoder waits for data (a station gone quiet).
TEST_F(UrlStreamTest, FreeingEndsTheTransferAtOnce) {
  audio::SetConfig(audio::Config::kNetTimeoutMs, 20000);
  server().Handle("/endless", [](const FixtureRequest&, FixtureConnection& c) {
    if (!c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n")) return;
    while (c.Send(Media().mp3)) {
    }
  });
  server().Handle("/quiet", [](const FixtureRequest&, FixtureConnection& c) {
    if (c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n") &&
        c.Send(std::string_view(Media().mp3).substr(0, 16000))) {
      c.Pause(20000);
    }
  });
  for (const char* target : {"/endless", "/quiet"}) {
    SCOPED_TRACE(target);
    const audio::Handle channel = audio::CreateUrlStream(StreamUrl(target), audio::kStreamDecode);
    ASSERT_NE(channel, 0u) << audio::LastError();
    std::this_thread::sleep_for(300ms);
    const auto start = Clock::now();
    EXPECT_TRUE(audio::FreeStream(channel));
    EXPECT_LT(Clock::now() - start, 500ms);
  }
}

// A server that closes in the middle of an announced body: what arrived plays, then the channel
// ends; nothing hangs.
TEST_F(UrlStreamTest, ABodyCutShortEndsTheChannel) {
  const std::string& wav = Media().wav;
  server().Serve("/cut.wav", "HTTP/1.1 200 OK\r\nContent-Type: audio/wav\r\nContent-Length: " +
                                 std::to_string(wav.size()) + "\r\n\r\n" + wav.substr(0, wav.size() / 2));
  const audio::Handle channel = audio::CreateUrlStream(StreamUrl("/cut.wav"), audio::kStreamDecode);
  ASSERT_NE(channel, 0u) << audio::LastError();
  const Drained drained = DrainDecodingChannel(channel, 10s);
  EXPECT_TRUE(drained.ended);
  const std::vector<float> file = DecodeFile(Media().wav_file);
  EXPECT_GT(drained.samples.size(), file.size() * 4 / 10);
  EXPECT_LT(drained.samples.size(), file.size() * 6 / 10);
  EXPECT_LE(MaxDifference(drained.samples, file, drained.samples.size()), 0.0f);
  audio::FreeStream(channel);
}

}  // namespace
}  // namespace kestrel::test
