// The download under an internet stream: a live body is held to the network buffer while nobody
// reads it, a finite one is kept whole.
#include <gtest/gtest.h>

#include <thread>

#include "audio/audio_error.h"
#include "audio/http_stream_reader.h"
#include "audio/url_stream_fixture.h"

namespace kestrel::test {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kLargestWrite = 16 * 1024;  // what libcurl hands over at once, at most

TEST_F(UrlStreamTest, LiveBodyIsHeldToTheBufferAndFiniteBodyKeptWhole) {
  server().Handle("/endless", [](const FixtureRequest&, FixtureConnection& c) {
    if (!c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-br: 128\r\n\r\n")) return;
    while (c.Send(Media().mp3)) {
    }
  });
  const std::string body(3 * 1024 * 1024, 'f');
  server().Serve("/large", HttpResponse(200, body));

  audio::HttpStreamSettings settings;
  settings.timeout_ms = kTimeoutMs;
  settings.buffer_ms = 8000;  // 128 kB at the announced 128 kbit/s
  int error = 0;
  auto live = audio::HttpStreamReader::Open(StreamUrl("/endless"), settings, &error);
  ASSERT_TRUE(live) << error;
  EXPECT_TRUE(live->live());
  EXPECT_EQ(live->Size(), -1);
  // The download runs until the buffer is full, then waits.
  const auto full_by = std::chrono::steady_clock::now() + 10s;
  while (live->BufferFill() < 1.0 && std::chrono::steady_clock::now() < full_by) {
    std::this_thread::sleep_for(10ms);
  }
  std::this_thread::sleep_for(200ms);  // a download that does not wait would go on meanwhile
  // Nothing read yet, so all that arrived is held: the buffer, and at most one write of
  // libcurl's beyond it. (Reading now would let the download refill behind the reads.)
  const std::int64_t held = live->ArrivedBytes();
  EXPECT_GE(held, 128'000);
  EXPECT_LE(held, 128'000 + kLargestWrite);
  char scratch[1000];
  std::int64_t unread = 0;
  live->SetWaitForData(false);
  for (std::int64_t got; (got = live->Read(scratch, sizeof scratch)) > 0;) unread += got;
  EXPECT_GE(unread, held);
  EXPECT_FALSE(live->Seek(0));  // a live body lets go of what was read

  auto finite = audio::HttpStreamReader::Open(StreamUrl("/large"), settings, &error);
  ASSERT_TRUE(finite) << error;
  EXPECT_FALSE(finite->live());
  EXPECT_EQ(finite->Size(), static_cast<std::int64_t>(body.size()));
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (!finite->Complete() && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(finite->Complete());
  std::string read(body.size(), '\0');
  EXPECT_TRUE(finite->Seek(static_cast<std::int64_t>(body.size()) - 10));
  EXPECT_TRUE(finite->Seek(0));
  std::int64_t total = 0;
  for (std::int64_t got; (got = finite->Read(read.data() + total, 1 << 20)) > 0;) total += got;
  EXPECT_EQ(read, body);
}

}  // namespace
}  // namespace kestrel::test
