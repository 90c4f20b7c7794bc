#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "audio/audio.h"
#include "diag/logger.h"
#include "storage/settings.h"
#include "support/temp_folder.h"
#include "tempo/current_tempo_processor.h"
#include "tempo/soundtouch_processor.h"

namespace kestrel {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// A generated decoding input: a 440 Hz sine, seekable unless it is `live` (no known length).
class SineSource : public audio::Source {
 public:
  SineSource(std::int64_t length, bool live) : length_(length), live_(live) {}
  audio::SourceFormat Format() const override { return {kRate, kChannels}; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    const std::int64_t count = std::min(frames, length_ - position_);
    for (std::int64_t i = 0; i < count; ++i) {
      const auto value = static_cast<float>(
          0.5 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(position_ + i) / kRate));
      for (int c = 0; c < kChannels; ++c) out[i * kChannels + c] = value;
    }
    position_ += count;
    return count;
  }
  bool Seek(std::int64_t frame) override {
    if (live_ || frame < 0 || frame > length_) return audio::Fail(audio::kErrorPosition);
    position_ = frame;
    return true;
  }
  std::int64_t LengthFrames() const override { return live_ ? -1 : length_; }
  double NextFrameSeconds() const override { return static_cast<double>(position_) / kRate; }

 private:
  std::int64_t length_;
  bool live_;
  std::int64_t position_ = 0;
};

float AttributeOf(audio::Handle stream, audio::Attribute attribute) {
  float value = NAN;
  EXPECT_TRUE(audio::GetAttribute(stream, attribute, &value));
  return value;
}

class TempoProcessorTest : public testing::Test {
 protected:
  void SetUp() override {
    TheSettings() = Settings{};
    ASSERT_TRUE(audio::InitOutput(-1, kRate));
  }
  void TearDown() override {
    DestroyTempoProcessor();
    SelectTempoAlgorithm(kTempoAlgorithmSoundTouch);
    audio::FreeOutput();
    TheSettings() = Settings{};
  }

  // A decoding channel over `seconds` of sine.
  static audio::Handle SourceChannel(double seconds, bool live = false) {
    auto source = std::make_unique<SineSource>(static_cast<std::int64_t>(seconds * kRate), live);
    const audio::Handle channel = audio::CreateSourceStream(std::move(source), audio::kStreamDecode);
    EXPECT_NE(channel, 0u);
    return channel;
  }
};

TEST_F(TempoProcessorTest, NewProcessorStartsNeutralAndInactive) {
  for (int algorithm : {0, 1, 2, 3, -1}) {
    SCOPED_TRACE(algorithm);
    const auto processor = CreateTempoProcessor(algorithm);
    ASSERT_NE(processor, nullptr);
    EXPECT_EQ(processor->GetTempo(), 0.0f);
    EXPECT_EQ(processor->GetPitch(), 0.0f);
    EXPECT_EQ(processor->GetRate(), 1.0f);
    EXPECT_FALSE(processor->IsActive());
    EXPECT_EQ(processor->GetLengthSeconds(), 0.0);
    EXPECT_EQ(processor->GetPositionSeconds(), 0.0);
    EXPECT_EQ(processor->GetSourceChannel(), 0u);
    processor->SetPositionSeconds(3);  // without a stream: nothing happens
    // Speedy and Signalsmith play through SoundTouch until they are built.
    EXPECT_EQ(processor->GetAlgorithm(), kTempoAlgorithmSoundTouch);
  }
}

TEST_F(TempoProcessorTest, ValuesSetBeforeCreateShapeTheNewStream) {
  SoundTouchProcessor processor;
  processor.SetTempo(50);
  processor.SetPitch(-3);
  processor.SetRate(1.25f);
  const audio::Handle source = SourceChannel(5);
  const audio::Handle stream = processor.Create(source, 22050);  // the rate given, not the source's
  ASSERT_NE(stream, 0u);
  EXPECT_TRUE(processor.IsActive());
  EXPECT_EQ(processor.GetSourceChannel(), source);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempo), 50.0f);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempoPitch), -3.0f);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempoFrequency), 1.25f * 22050);

  // Changes while the stream exists reach it at once.
  processor.SetTempo(-20);
  processor.SetPitch(4);
  processor.SetRate(0.5f);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempo), -20.0f);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempoPitch), 4.0f);
  EXPECT_EQ(AttributeOf(stream, audio::Attribute::kTempoFrequency), 0.5f * 22050);
  EXPECT_EQ(processor.GetTempo(), -20.0f);
  EXPECT_EQ(processor.GetPitch(), 4.0f);
  EXPECT_EQ(processor.GetRate(), 0.5f);
}

TEST_F(TempoProcessorTest, CreateAppliesTheSoundTouchSettings) {
  Settings& settings = TheSettings();
  settings.anti_alias_filter = false;
  settings.aa_filter_length = 12;  // accepted by the settings file; SoundTouch needs a multiple of 8
  settings.quick_algorithm = true;
  settings.sequence_ms = 40;
  settings.seek_window_ms = 0;
  settings.overlap_ms = 12;
  settings.prevent_click = true;
  SoundTouchProcessor processor;
  const audio::Handle stream = processor.Create(SourceChannel(2), kRate);
  ASSERT_NE(stream, 0u);
  using audio::Attribute;
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoUseAntiAliasFilter), 0.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoAntiAliasFilterLength), 16.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoUseQuickAlgorithm), 1.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoSequenceMs), 40.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoSeekWindowMs), 0.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoOverlapMs), 12.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoPreventClick), 1.0f);
  EXPECT_EQ(AttributeOf(stream, Attribute::kTempoFrequency), static_cast<float>(kRate));
}

TEST_F(TempoProcessorTest, LengthAndPositionAreInTheMediaTime) {
  SoundTouchProcessor processor;
  processor.SetTempo(100);  // the output is half as long; the media is not
  ASSERT_NE(processor.Create(SourceChannel(10), kRate), 0u);
  EXPECT_NEAR(processor.GetLengthSeconds(), 10.0, 1e-6);
  EXPECT_NEAR(processor.GetPositionSeconds(), 0.0, 1e-6);
  processor.SetPositionSeconds(6.5);
  EXPECT_NEAR(processor.GetPositionSeconds(), 6.5, 0.01);
}

TEST_F(TempoProcessorTest, UnknownLengthReadsZero) {
  SoundTouchProcessor processor;
  ASSERT_NE(processor.Create(SourceChannel(10, /*live=*/true), kRate), 0u);
  EXPECT_EQ(processor.GetLengthSeconds(), 0.0);
}

TEST_F(TempoProcessorTest, DestroyFreesTheStreamWithItsSource) {
  SoundTouchProcessor processor;
  const audio::Handle source = SourceChannel(2);
  const audio::Handle stream = processor.Create(source, kRate);
  ASSERT_NE(stream, 0u);
  processor.Destroy();
  EXPECT_FALSE(processor.IsActive());
  EXPECT_EQ(processor.GetSourceChannel(), 0u);
  EXPECT_EQ(processor.GetPositionSeconds(), 0.0);
  // The stream owned the source: both are gone, so the opener must not free the source again.
  EXPECT_FALSE(audio::FreeStream(stream));
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);
  EXPECT_FALSE(audio::FreeStream(source));
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);
  processor.Destroy();  // a second Destroy is harmless
}

TEST_F(TempoProcessorTest, DeletingTheProcessorFreesItsStream) {
  audio::Handle stream = 0;
  {
    SoundTouchProcessor processor;
    stream = processor.Create(SourceChannel(2), kRate);
    ASSERT_NE(stream, 0u);
  }
  EXPECT_FALSE(audio::FreeStream(stream));
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);
}

TEST_F(TempoProcessorTest, FailedCreateLeavesTheProcessorInactiveWithItsValues) {
  SoundTouchProcessor processor;
  processor.SetTempo(30);
  const audio::Handle source = SourceChannel(1);
  ASSERT_TRUE(audio::FreeStream(source));  // stale by the time Create gets it
  EXPECT_EQ(processor.Create(source, kRate), 0u);
  EXPECT_FALSE(processor.IsActive());
  EXPECT_EQ(processor.GetTempo(), 30.0f);
  EXPECT_EQ(processor.GetLengthSeconds(), 0.0);
}

TEST_F(TempoProcessorTest, CurrentProcessorLivesUntilDestroyed) {
  TempoProcessor& first = GetTempoProcessor();
  EXPECT_EQ(&GetTempoProcessor(), &first);
  first.SetTempo(50);
  const audio::Handle stream = first.Create(SourceChannel(2), kRate);
  ASSERT_NE(stream, 0u);

  DestroyTempoProcessor();
  EXPECT_FALSE(audio::FreeStream(stream));  // its stream went with it

  // A fresh processor: neutral until the opener sets it.
  TempoProcessor& second = GetTempoProcessor();
  EXPECT_EQ(second.GetTempo(), 0.0f);
  EXPECT_EQ(second.GetPitch(), 0.0f);
  EXPECT_EQ(second.GetRate(), 1.0f);
  EXPECT_FALSE(second.IsActive());
  DestroyTempoProcessor();
  DestroyTempoProcessor();  // nothing left: harmless
}

TEST_F(TempoProcessorTest, UnavailableAlgorithmsFallBackToSoundTouchAndSayItInTheLog) {
  test::TempFolder folder;
  StartLogger(folder.path());
  for (int algorithm : {1, 2, 9}) {
    SCOPED_TRACE(algorithm);
    SelectTempoAlgorithm(algorithm);
    TempoProcessor& processor = GetTempoProcessor();
    EXPECT_EQ(processor.GetAlgorithm(), kTempoAlgorithmSoundTouch);
    ASSERT_NE(processor.Create(SourceChannel(1), kRate), 0u);
    DestroyTempoProcessor();
  }
  StopLogger();
  const std::string log = test::ReadWholeFile(folder.path() / "kestrel.log");
  EXPECT_NE(log.find("[TEMPO] tempo algorithm 1 is not available; using SoundTouch"), std::string::npos);
  EXPECT_NE(log.find("[TEMPO] tempo algorithm 2 is not available; using SoundTouch"), std::string::npos);
  EXPECT_EQ(log.find("tempo algorithm 9"), std::string::npos);  // 9 is stored as 0
}

}  // namespace
}  // namespace kestrel
