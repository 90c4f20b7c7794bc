// Decoding channels read with GetData, user streams fed by a callback, and what a channel passes
// through to its source (tags, bitrate, attributes).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;

using DecodingTest = NullOutputTest;

TEST_F(DecodingTest, GetDataReadsExactFramesSeeksExactlyAndReportsTheEnd) {
  constexpr std::int64_t kFrames = 10000;
  const Handle channel =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, kFrames), kStreamDecode);
  std::atomic<int> ended_syncs{0};
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++ended_syncs; }), 0u);
  std::vector<float> buffer(2 * 4096);
  ASSERT_EQ(GetData(channel, buffer.data(), 1000 * 8 + 5), 1000 * 8);  // whole frames only
  EXPECT_EQ(FrameCounterSource::Decode(buffer[0], buffer[1]), 0);
  EXPECT_EQ(FrameCounterSource::Decode(buffer[2 * 999], buffer[2 * 999 + 1]), 999);
  EXPECT_EQ(GetPosition(channel), 1000 * 8);
  EXPECT_EQ(IsActive(channel), ActiveState::kPlaying);

  ASSERT_TRUE(SetPosition(channel, 7777 * 8, kPositionFlush));
  ASSERT_EQ(GetData(channel, buffer.data(), 4096 * 8), (kFrames - 7777) * 8);
  EXPECT_EQ(FrameCounterSource::Decode(buffer[0], buffer[1]), 7777);
  EXPECT_EQ(GetData(channel, buffer.data(), 4096 * 8), -1);
  EXPECT_EQ(LastError(), kErrorEnded);
  EXPECT_EQ(IsActive(channel), ActiveState::kStopped);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ended_syncs.load(), 1);

  ASSERT_TRUE(SetPosition(channel, 0));
  EXPECT_EQ(GetData(channel, buffer.data(), 8), 8);
}

TEST_F(DecodingTest, PlayedAndDecodingChannelsRefuseEachOthersCalls) {
  const Handle played = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, 100), 0);
  const Handle decoding =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, 100), kStreamDecode);
  float buffer[16];
  EXPECT_EQ(GetData(played, buffer, sizeof buffer), -1);
  EXPECT_EQ(LastError(), kErrorDecode);
  EXPECT_FALSE(Play(decoding, false));
  EXPECT_EQ(LastError(), kErrorDecode);
  EXPECT_EQ(CreateTempoStream(played, 0), 0u);
  EXPECT_EQ(LastError(), kErrorDecode);
}

TEST_F(DecodingTest, AUserStreamPlaysWhatItsCallbackWritesUntilItSaysItEnded) {
  std::int64_t next = 0;
  constexpr std::int64_t kFrames = 30000;
  const Handle channel = CreateUserStream(44100, 2, 0, [&](float* out, std::int64_t frames, bool* ended) {
    const std::int64_t count = std::min<std::int64_t>(frames, std::min<std::int64_t>(kFrames - next, 700));
    for (std::int64_t f = 0; f < count; ++f) {
      FrameCounterSource::Encode(next + f, &out[2 * f], &out[2 * f + 1]);
    }
    next += count;
    *ended = next == kFrames;
    return count;
  });
  ASSERT_NE(channel, 0u);
  std::atomic<int> ended{0};
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++ended; }), 0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  EXPECT_EQ(GetPosition(channel), kFrames * 8);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ended.load(), 1);
  const auto wav = TakeRecording();
  ASSERT_EQ(test::SoundFrames(wav), kFrames);
  for (std::int64_t f = 0; f < kFrames; ++f) {
    ASSERT_EQ(FrameCounterSource::Decode(wav.samples[2 * f], wav.samples[2 * f + 1]), f);
  }
}

TEST_F(DecodingTest, AUserStreamWithNothingToGiveStallsAndGoesOnWhenItHasMore) {
  std::mutex mutex;
  std::int64_t available = 0, next = 0;
  SetNullDeviceSpeed(1);
  const Handle channel = CreateUserStream(44100, 1, 0, [&](float* out, std::int64_t frames, bool* ended) {
    std::lock_guard lock(mutex);
    const std::int64_t count = std::min(frames, available - next);
    for (std::int64_t f = 0; f < count; ++f) out[f] = 0.25f;
    next += count;
    *ended = false;
    return count;
  });
  ASSERT_TRUE(Play(channel, false));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(IsActive(channel), ActiveState::kStalled);
  EXPECT_EQ(GetPosition(channel), 0);
  {
    std::lock_guard lock(mutex);
    available = 44100;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(IsActive(channel), ActiveState::kPlaying);
  EXPECT_GT(GetPosition(channel), 0);
}

class TaggedSource : public FrameCounterSource {
 public:
  TaggedSource() : FrameCounterSource(48000, 48000) {}
  std::optional<std::string> Tags(TagBlock block) const override {
    if (block == TagBlock::kVorbis) return std::string("TITLE=Song\0\0", 12);
    return std::nullopt;
  }
  double BitrateKbps() const override { return 1536; }
  std::string CodecName() const override { return "counter"; }
  bool SetAttribute(Attribute attribute, float value) override {
    if (attribute != Attribute::kBufferFill) return false;
    fill_ = value;
    return true;
  }
  bool GetAttribute(Attribute attribute, float* value) const override {
    if (attribute != Attribute::kBufferFill) return false;
    *value = fill_;
    return true;
  }

 private:
  float fill_ = 0;
};

TEST_F(DecodingTest, TagsBitrateAndSourceAttributesPassThroughTheChannelAndATempoStream) {
  const Handle source = CreateSourceStream(std::make_unique<TaggedSource>(), kStreamDecode);
  const Handle tempo = CreateTempoStream(source, kStreamFreeSource);
  ASSERT_NE(tempo, 0u) << LastError();
  for (Handle channel : {source, tempo}) {
    const auto tags = GetTags(channel, TagBlock::kVorbis);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(*tags, std::string("TITLE=Song\0\0", 12));
    EXPECT_FALSE(GetTags(channel, TagBlock::kId3v2).has_value());
    EXPECT_EQ(LastError(), kErrorNotAvailable);
    float bitrate = 0;
    ASSERT_TRUE(GetAttribute(channel, Attribute::kBitrate, &bitrate));
    EXPECT_EQ(bitrate, 1536);
    ChannelInfo info;
    ASSERT_TRUE(GetInfo(channel, &info));
    EXPECT_EQ(info.sample_rate, 48000);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.codec, "counter");
  }
  EXPECT_TRUE(SetAttribute(source, Attribute::kBufferFill, 0.5f));
  float fill = 0;
  EXPECT_TRUE(GetAttribute(source, Attribute::kBufferFill, &fill));
  EXPECT_EQ(fill, 0.5f);
  EXPECT_FALSE(SetAttribute(source, Attribute::kTempo, 10));
  EXPECT_EQ(LastError(), kErrorIllegalType);
  EXPECT_FALSE(SetAttribute(source, Attribute::kBitrate, 10));
  EXPECT_EQ(LastError(), kErrorIllegalType);
}

TEST_F(DecodingTest, FrequencyAndVolumeAreCheckedAndFrequencyZeroMeansTheSourceRate) {
  const Handle channel = CreateSourceStream(std::make_unique<FrameCounterSource>(48000, 100), 0);
  float value = 0;
  ASSERT_TRUE(GetAttribute(channel, Attribute::kFrequency, &value));
  EXPECT_EQ(value, 48000);
  ASSERT_TRUE(SetAttribute(channel, Attribute::kFrequency, 96000));
  ASSERT_TRUE(SetAttribute(channel, Attribute::kFrequency, 0));
  ASSERT_TRUE(GetAttribute(channel, Attribute::kFrequency, &value));
  EXPECT_EQ(value, 48000);
  struct Case {
    Attribute attribute;
    float value;
  };
  for (const Case& c : {Case{Attribute::kFrequency, -1}, Case{Attribute::kFrequency, 5e6f},
                        Case{Attribute::kVolume, -0.5f}, Case{Attribute::kVolume, NAN}}) {
    EXPECT_FALSE(SetAttribute(channel, c.attribute, c.value));
    EXPECT_EQ(LastError(), kErrorIllegalParam);
  }
  ASSERT_TRUE(SetAttribute(channel, Attribute::kVolume, 3.5f));
  ASSERT_TRUE(GetAttribute(channel, Attribute::kVolume, &value));
  EXPECT_EQ(value, 3.5f);
}

}  // namespace
}  // namespace kestrel::audio
