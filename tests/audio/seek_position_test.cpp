// Positions, lengths and seeking: in bytes of the channel's float format and in seconds, and
// sample-accurate in what is heard.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;

using SeekTest = NullOutputTest;

constexpr std::int64_t kBytesPerFrame = 8;  // stereo float

// The frame numbers heard, in order, with the silence of the null device left out.
std::vector<std::int64_t> HeardFrames(const test::WavContents& wav) {
  std::vector<std::int64_t> frames;
  for (std::int64_t f = 0; f < wav.frames(); ++f) {
    if (wav.samples[2 * f] != 0.0f) {
      frames.push_back(FrameCounterSource::Decode(wav.samples[2 * f], wav.samples[2 * f + 1]));
    }
  }
  return frames;
}

// Where the heard frames stop following one another.
std::vector<std::size_t> Jumps(const std::vector<std::int64_t>& frames) {
  std::vector<std::size_t> jumps;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    if (frames[i] != frames[i - 1] + 1) jumps.push_back(i);
  }
  return jumps;
}

TEST_F(SeekTest, LengthAndPositionsInBytesAndSeconds) {
  const Handle channel =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, 5 * 44100), 0);
  EXPECT_EQ(GetLength(channel), 5 * 44100 * kBytesPerFrame);
  EXPECT_DOUBLE_EQ(BytesToSeconds(channel, GetLength(channel)), 5.0);
  EXPECT_EQ(SecondsToBytes(channel, 1.5), 66150 * kBytesPerFrame);
  EXPECT_EQ(GetPosition(channel), 0);

  struct Case {
    std::int64_t bytes;
    bool accepted;
    std::int64_t position;  // after the call
  };
  for (const Case& c : {Case{12345 * kBytesPerFrame, true, 12345 * kBytesPerFrame},
                        Case{12345 * kBytesPerFrame + 3, true, 12345 * kBytesPerFrame},
                        Case{5 * 44100 * kBytesPerFrame, true, 5 * 44100 * kBytesPerFrame},
                        Case{5 * 44100 * kBytesPerFrame + 8, false, 5 * 44100 * kBytesPerFrame},
                        Case{-8, false, 5 * 44100 * kBytesPerFrame}}) {
    EXPECT_EQ(SetPosition(channel, c.bytes, kPositionFlush), c.accepted) << c.bytes;
    if (!c.accepted) {
      EXPECT_EQ(LastError(), kErrorPosition);
    }
    EXPECT_EQ(GetPosition(channel), c.position) << c.bytes;
  }
}

TEST_F(SeekTest, AfterASeekWhilePlayingTheFirstHeardFrameIsTheRequestedOne) {
  constexpr std::int64_t kFrames = 8 * 44100;
  constexpr std::int64_t kTarget = 5 * 44100 + 17;
  SetNullDeviceSpeed(20);
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  ASSERT_TRUE(Play(channel, false));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_TRUE(SetPosition(channel, kTarget * kBytesPerFrame, kPositionFlush));
  const std::int64_t right_after = GetPosition(channel);
  EXPECT_GE(right_after, kTarget * kBytesPerFrame);
  EXPECT_LT(right_after, (kTarget + 44100 / 10) * kBytesPerFrame);
  SetNullDeviceSpeed(0);
  ASSERT_TRUE(WaitUntilStopped(channel));

  const auto heard = HeardFrames(TakeRecording());
  const auto jumps = Jumps(heard);
  ASSERT_EQ(jumps.size(), 1u);
  EXPECT_EQ(heard.front(), 0);
  EXPECT_LT(heard[jumps[0] - 1], kTarget);
  EXPECT_EQ(heard[jumps[0]], kTarget);
  EXPECT_EQ(heard.back(), kFrames - 1);
}

TEST_F(SeekTest, SeeksWhilePausedAndAtChangedRateStartWhereAsked) {
  constexpr std::int64_t kFrames = 6 * 44100;
  SetNullDeviceSpeed(20);
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  ASSERT_TRUE(Play(channel, false));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(Pause(channel));
  ASSERT_TRUE(SetPosition(channel, 4 * 44100 * kBytesPerFrame));
  EXPECT_EQ(GetPosition(channel), 4 * 44100 * kBytesPerFrame);
  EXPECT_EQ(IsActive(channel), ActiveState::kPaused);
  SetNullDeviceSpeed(0);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  // The same at rate 0.5, where the rate converter's state must be dropped too.
  ASSERT_TRUE(SetAttribute(channel, Attribute::kFrequency, 22050));
  ASSERT_TRUE(SetPosition(channel, 5 * 44100 * kBytesPerFrame));
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));

  const auto heard = HeardFrames(TakeRecording());
  const auto jumps = Jumps(heard);
  // Played from 0, jumped to 4 s, ended; then from 5 s at half speed (frames repeat or blend).
  ASSERT_GE(jumps.size(), 2u);
  EXPECT_EQ(heard.front(), 0);
  EXPECT_EQ(heard[jumps[0]], 4 * 44100);
  EXPECT_EQ(heard[jumps[1] - 1], kFrames - 1);
  EXPECT_EQ(heard[jumps[1]], 5 * 44100);
}

TEST_F(SeekTest, PlayWithRestartStartsOver) {
  constexpr std::int64_t kFrames = 20000;
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), 0);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  EXPECT_EQ(GetPosition(channel), kFrames * kBytesPerFrame);
  ASSERT_TRUE(Play(channel, true));
  ASSERT_TRUE(WaitUntilStopped(channel));
  const auto heard = HeardFrames(TakeRecording());
  ASSERT_EQ(heard.size(), 2u * kFrames);
  EXPECT_EQ(heard[kFrames], 0);
}

}  // namespace
}  // namespace kestrel::audio
