// Playing channels on the null device and checking the recorded mix: duration, pitch under a
// changed rate, level under volume, and the end of the heard output.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;
using test::SineSource;

using PlaybackTest = NullOutputTest;

Handle PlaySine(int rate, int channels, double frequency, float amplitude, double seconds,
                float frequency_attribute = 0, float volume = 1) {
  const Handle channel = CreateSourceStream(
      std::make_unique<SineSource>(rate, channels, frequency, amplitude,
                                   static_cast<std::int64_t>(std::llround(seconds * rate))),
      0);
  EXPECT_NE(channel, 0u) << LastError();
  if (frequency_attribute != 0) {
    EXPECT_TRUE(SetAttribute(channel, Attribute::kFrequency, frequency_attribute));
  }
  if (volume != 1) {
    EXPECT_TRUE(SetAttribute(channel, Attribute::kVolume, volume));
  }
  EXPECT_TRUE(Play(channel, false));
  return channel;
}

TEST_F(PlaybackTest, PlaysEveryFrameOfTheSourceUntouchedAtItsOwnRate) {
  constexpr std::int64_t kFrames = 44100 + 123;
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  const auto wav = TakeRecording();
  ASSERT_EQ(test::SoundFrames(wav), kFrames);
  for (std::int64_t f = 0; f < kFrames; ++f) {
    ASSERT_EQ(FrameCounterSource::Decode(wav.samples[2 * f], wav.samples[2 * f + 1]), f);
  }
}

struct DurationCase {
  const char* name;
  int source_rate;
  int channels;
  float frequency_attribute;  // 0: the source's own rate
  double expected_seconds;
};

class DurationTest : public NullOutputTest, public ::testing::WithParamInterface<DurationCase> {};

TEST_P(DurationTest, RecordedSoundLastsAsLongAsTheRateSays) {
  const DurationCase& c = GetParam();
  const Handle channel = PlaySine(c.source_rate, c.channels, 500, 0.5f, 1.0, c.frequency_attribute);
  ASSERT_TRUE(WaitUntilStopped(channel));
  const auto wav = TakeRecording();
  const double seconds = static_cast<double>(test::SoundFrames(wav)) / kMixRate;
  EXPECT_NEAR(seconds, c.expected_seconds, 4.0 / kMixRate) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rates, DurationTest,
    ::testing::Values(DurationCase{"native", 44100, 2, 0, 1.0},
                      DurationCase{"48k source", 48000, 2, 0, 1.0},
                      DurationCase{"22k mono", 22050, 1, 0, 1.0},
                      DurationCase{"six channels", 48000, 6, 0, 1.0},
                      DurationCase{"rate 2", 44100, 2, 88200, 0.5},
                      DurationCase{"rate 0.5", 44100, 2, 22050, 2.0},
                      DurationCase{"rate 1.5 of 48k", 48000, 2, 72000, 1.0 / 1.5}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST_F(PlaybackTest, RateTwoDoublesThePitchAndOtherRatesKeepIt) {
  struct Case {
    int source_rate;
    double tone;
    float frequency_attribute;
    double expected_tone;
  };
  for (const Case& c : {Case{44100, 441, 88200, 882}, Case{48000, 1000, 0, 1000},
                        Case{44100, 1000, 33075, 750}}) {
    const Handle channel = PlaySine(c.source_rate, 2, c.tone, 0.5f, 1.0, c.frequency_attribute);
    ASSERT_TRUE(WaitUntilStopped(channel));
    ASSERT_TRUE(FreeStream(channel));
  }
  const auto wav = TakeRecording();
  // The three sounds follow one another; measure the middle of each.
  std::int64_t start = 0;
  for (const Case& c : {Case{44100, 441, 88200, 882}, Case{48000, 1000, 0, 1000},
                        Case{44100, 1000, 33075, 750}}) {
    const double rate = c.frequency_attribute == 0 ? c.source_rate : c.frequency_attribute;
    const auto length = static_cast<std::int64_t>(kMixRate * c.source_rate / rate);
    EXPECT_NEAR(test::MeasuredFrequency(wav, 0, start + length / 4, length / 2), c.expected_tone,
                c.expected_tone * 0.005);
    // Each sound ends on a whole device period (silence pads it to 1024 frames).
    start += (length + 1023) / 1024 * 1024;
  }
}

TEST_F(PlaybackTest, VolumeScalesLinearlyAndAmplifiesAboveOne) {
  ASSERT_TRUE(SetConfig(Config::kVolumeCurve, 1));  // accepted, and bends nothing
  const float volumes[] = {0.5f, 1.0f, 2.0f};
  for (float volume : volumes) {
    const Handle channel = PlaySine(44100, 2, 1000, 0.4f, 0.5, 0, volume);
    ASSERT_TRUE(WaitUntilStopped(channel));
    float read_back = 0;
    ASSERT_TRUE(GetAttribute(channel, Attribute::kVolume, &read_back));
    EXPECT_EQ(read_back, volume);
    ASSERT_TRUE(FreeStream(channel));
  }
  const auto wav = TakeRecording();
  const std::int64_t length = 22050, period = (length + 1023) / 1024 * 1024;
  const double unit_rms = 0.4 / std::sqrt(2.0);
  for (int i = 0; i < 3; ++i) {
    // From the very first frame: a volume set before play does not glide in from 1.
    EXPECT_NEAR(test::Rms(wav, 0, i * period, length), unit_rms * volumes[i], unit_rms * 0.01)
        << "volume " << volumes[i];
  }
  ASSERT_TRUE(SetConfig(Config::kVolumeCurve, 0));
}

TEST_F(PlaybackTest, EndSyncFiresOnceWhenTheLastFrameHasBeenHeard) {
  constexpr std::int64_t kFrames = 30000;
  const Handle channel =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  std::atomic<int> fired{0};
  std::atomic<std::int64_t> position_at_end{-1};
  std::atomic<int> state_at_end{-1};
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false,
                    [&](Handle, Handle ended) {
                      position_at_end = GetPosition(ended);
                      state_at_end = static_cast<int>(IsActive(ended));
                      ++fired;
                    }),
            0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(fired.load(), 1);
  EXPECT_EQ(position_at_end.load(), kFrames * 8);
  EXPECT_EQ(position_at_end.load(), GetLength(channel));
  EXPECT_EQ(state_at_end.load(), static_cast<int>(ActiveState::kStopped));
  EXPECT_EQ(test::SoundFrames(TakeRecording()), kFrames);

  // Playing it again plays it from the start, and ends (and syncs) once more.
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(fired.load(), 2);
}

TEST_F(PlaybackTest, InRealTimeTheEndSyncWaitsForTheHeardEndNotTheDecodedOne) {
  SetNullDeviceSpeed(1);
  ASSERT_TRUE(SetConfig(Config::kBufferMs, 500));
  const auto started = std::chrono::steady_clock::now();
  std::atomic<double> fired_after{-1};
  const Handle channel = CreateSourceStream(
      std::make_unique<SineSource>(44100, 2, 440, 0.2f, 44100 * 6 / 10), 0);
  ASSERT_NE(SetSync(channel, SyncType::kEnd, true,
                    [&](Handle, Handle) {
                      fired_after = std::chrono::duration<double>(
                                        std::chrono::steady_clock::now() - started)
                                        .count();
                    }),
            0u);
  ASSERT_TRUE(Play(channel, false));
  // Half way, what is heard lags what has been decoded (already the whole sound).
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const double heard = BytesToSeconds(channel, GetPosition(channel));
  EXPECT_GT(heard, 0.15);
  EXPECT_LT(heard, 0.45);
  EXPECT_EQ(IsActive(channel), ActiveState::kPlaying);
  ASSERT_TRUE(WaitUntilStopped(channel, std::chrono::seconds(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_GE(fired_after.load(), 0.58);
  EXPECT_LT(fired_after.load(), 0.9);
}

TEST_F(PlaybackTest, StopThenPlayGoesOnFromWhatWasHeardWithoutGapOrRepeat) {
  constexpr std::int64_t kFrames = 3 * 44100;
  SetNullDeviceSpeed(20);  // the stops must land before the end
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  ASSERT_TRUE(Play(channel, false));
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(Stop(channel));
    EXPECT_EQ(IsActive(channel), ActiveState::kStopped);
    ASSERT_TRUE(Play(channel, false));
  }
  SetNullDeviceSpeed(0);
  ASSERT_TRUE(WaitUntilStopped(channel));
  const auto wav = TakeRecording();
  // Real-time speeds record silence while stopped: drop it, the sound must run on unbroken.
  std::vector<std::int64_t> heard;
  for (std::int64_t f = 0; f < wav.frames(); ++f) {
    if (wav.samples[2 * f] != 0.0f) {
      heard.push_back(FrameCounterSource::Decode(wav.samples[2 * f], wav.samples[2 * f + 1]));
    }
  }
  ASSERT_EQ(static_cast<std::int64_t>(heard.size()), kFrames);
  for (std::int64_t f = 0; f < kFrames; ++f) ASSERT_EQ(heard[static_cast<std::size_t>(f)], f);
}

TEST_F(PlaybackTest, PauseHoldsThePositionAndPlayResumes) {
  SetNullDeviceSpeed(10);
  const Handle channel = PlaySine(44100, 2, 440, 0.2f, 3.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(Pause(channel));
  EXPECT_EQ(IsActive(channel), ActiveState::kPaused);
  EXPECT_FALSE(Pause(channel));
  EXPECT_EQ(LastError(), kErrorAlready);
  const std::int64_t paused_at = GetPosition(channel);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(GetPosition(channel), paused_at);
  SetNullDeviceSpeed(0);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  const auto wav = TakeRecording();
  std::int64_t sound = 0;
  for (std::int64_t f = 0; f < wav.frames(); ++f) sound += wav.samples[2 * f] != 0.0f;
  EXPECT_NEAR(sound, 3 * 44100, 44100 / 100);  // the sine crosses zero now and then
}

}  // namespace
}  // namespace kestrel::audio
