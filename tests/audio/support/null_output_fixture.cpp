#include "audio/support/null_output_fixture.h"

#include <cmath>
#include <thread>

namespace kestrel::test {

void NullOutputTest::SetUp() {
  audio::SetNullDeviceSpeed(0);
  ASSERT_TRUE(audio::InitOutput(1, kMixRate)) << audio::LastError();
  recording_ = temp_.path() / "mix.wav";
  ASSERT_TRUE(audio::SetNullDeviceRecording(recording_.string()));
}

void NullOutputTest::TearDown() {
  audio::FreeOutput();
  audio::SetNullDeviceSpeed(1);
  audio::SetConfig(audio::Config::kBufferMs, 500);
  audio::SetConfig(audio::Config::kUpdatePeriodMs, 100);
}

bool NullOutputTest::WaitUntilStopped(audio::Handle channel, std::chrono::milliseconds timeout) {
  const auto give_up = std::chrono::steady_clock::now() + timeout;
  while (audio::IsActive(channel) != audio::ActiveState::kStopped) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

WavContents NullOutputTest::TakeRecording() {
  EXPECT_TRUE(audio::SetNullDeviceRecording(""));
  auto wav = ReadWav(recording_);
  EXPECT_TRUE(wav.has_value());
  return wav.value_or(WavContents{});
}

std::int64_t SoundFrames(const WavContents& wav) {
  for (std::int64_t frame = wav.frames() - 1; frame >= 0; --frame) {
    for (int c = 0; c < wav.channels; ++c) {
      if (wav.samples[static_cast<std::size_t>(frame * wav.channels + c)] != 0.0f) return frame + 1;
    }
  }
  return 0;
}

double Rms(const WavContents& wav, int channel, std::int64_t first, std::int64_t count) {
  double sum = 0;
  for (std::int64_t f = first; f < first + count; ++f) {
    const double value = wav.samples[static_cast<std::size_t>(f * wav.channels + channel)];
    sum += value * value;
  }
  return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

double MeasuredFrequency(const WavContents& wav, int channel, std::int64_t first,
                         std::int64_t count) {
  std::int64_t first_crossing = -1, last_crossing = -1, crossings = 0;
  for (std::int64_t f = first + 1; f < first + count; ++f) {
    const float before = wav.samples[static_cast<std::size_t>((f - 1) * wav.channels + channel)];
    const float now = wav.samples[static_cast<std::size_t>(f * wav.channels + channel)];
    if (before < 0 && now >= 0) {
      if (first_crossing < 0) first_crossing = f;
      last_crossing = f;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return static_cast<double>(crossings - 1) * wav.sample_rate /
         static_cast<double>(last_crossing - first_crossing);
}

}  // namespace kestrel::test
