#include "net/icy_station.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kestrel::bench {
namespace {

constexpr std::size_t kMetaint = 16000;
constexpr auto kPaceStep = std::chrono::milliseconds(20);
const std::string kTitle = "StreamTitle='Kestrel Bench - Tones';";

// The station's body from `offset` on for `count` audio bytes, with a metadata block after every
// kMetaint audio bytes counted from the start of the stream.
class BodyMaker {
 public:
  explicit BodyMaker(const std::string& mp3) : mp3_(mp3) {}
  std::string Next(std::size_t count) {
    std::string out;
    while (count > 0) {
      const std::size_t until_meta = kMetaint - since_meta_;
      const std::size_t take = std::min({count, until_meta, mp3_.size() - position_});
      out.append(mp3_, position_, take);
      position_ = (position_ + take) % mp3_.size();
      since_meta_ += take;
      count -= take;
      if (since_meta_ == kMetaint) {
        std::string block = kTitle;
        block.resize((block.size() + 15) / 16 * 16, '\0');
        out.push_back(static_cast<char>(block.size() / 16));
        out += block;
        since_meta_ = 0;
      }
    }
    return out;
  }

 private:
  const std::string& mp3_;
  std::size_t position_ = 0;
  std::size_t since_meta_ = 0;
};

}  // namespace

IcyStation::IcyStation(std::string mp3, int bitrate_kbps, std::size_t burst_bytes)
    : mp3_(std::move(mp3)), bitrate_kbps_(bitrate_kbps), burst_bytes_(burst_bytes) {
  server_.Handle("/stream", [this](const test::FixtureRequest&, test::FixtureConnection& c) {
    Serve(c);
  });
}

void IcyStation::Serve(test::FixtureConnection& connection) const {
  const std::string response = "ICY 200 OK\r\nicy-name: Kestrel Bench FM\r\nicy-br: " +
                               std::to_string(bitrate_kbps_) + "\r\nicy-metaint: " +
                               std::to_string(kMetaint) + "\r\nContent-Type: audio/mpeg\r\n\r\n";
  BodyMaker body(mp3_);
  if (!connection.Send(response) || !connection.Send(body.Next(burst_bytes_))) return;
  // Then real time: the bytes due since the burst, every step.
  const double bytes_per_second = bitrate_kbps_ * 1000.0 / 8.0;
  const auto start = std::chrono::steady_clock::now();
  std::size_t paced = 0;
  while (connection.Pause(static_cast<int>(kPaceStep.count()))) {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto due = static_cast<std::size_t>(elapsed * bytes_per_second);
    if (due > paced && !connection.Send(body.Next(due - paced))) return;
    paced = due;
  }
}

}  // namespace kestrel::bench
