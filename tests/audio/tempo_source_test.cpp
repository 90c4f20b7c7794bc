#include "audio/tempo_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_error.h"

namespace kestrel::audio {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// A generated input: a sine of `frequency` Hz on every channel, silent before `tone_start`,
// seekable to the frame unless `live`.
class SineSource : public Source {
 public:
  SineSource(double frequency, std::int64_t length, std::int64_t tone_start = 0, bool live = false)
      : frequency_(frequency), length_(length), tone_start_(tone_start), live_(live) {}

  SourceFormat Format() const override { return {kRate, kChannels}; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    if (fail_reads_) {
      Fail(kErrorFileForm);
      return -1;
    }
    const std::int64_t count = std::min(frames, length_ - position_);
    for (std::int64_t i = 0; i < count; ++i) {
      const float value = SampleAt(position_ + i);
      for (int c = 0; c < kChannels; ++c) out[i * kChannels + c] = value;
    }
    position_ += count;
    return count;
  }

  bool Seek(std::int64_t frame) override {
    if (live_ || frame < 0 || frame > length_) return Fail(kErrorPosition);
    position_ = frame;
    return true;
  }

  std::int64_t LengthFrames() const override { return live_ ? -1 : length_; }
  double NextFrameSeconds() const override { return static_cast<double>(position_) / kRate; }
  std::optional<std::string> Tags(TagBlock block) const override {
    if (block == TagBlock::kVorbis) return std::string("TITLE=Sine\0", 11);
    return std::nullopt;
  }
  double BitrateKbps() const override { return 1411; }
  std::string CodecName() const override { return "Sine"; }

  virtual float SampleAt(std::int64_t frame) const {
    if (frame < tone_start_) return 0.0f;
    return static_cast<float>(
        0.5 * std::sin(2 * std::numbers::pi * frequency_ * static_cast<double>(frame) / kRate));
  }

  void FailReads() { fail_reads_ = true; }

 private:
  double frequency_;
  std::int64_t length_;
  std::int64_t tone_start_;
  bool live_;
  std::int64_t position_ = 0;
  bool fail_reads_ = false;
};

// Deterministic white noise: the stretcher's overlap search finds a different splice for every
// change of its options, where a pure sine would often give the same one.
class NoiseSource : public SineSource {
 public:
  explicit NoiseSource(std::int64_t length) : SineSource(0, length) {}
  float SampleAt(std::int64_t frame) const override {
    auto x = static_cast<std::uint64_t>(frame) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 32;
    return static_cast<float>(static_cast<double>(x & 0xFFFF) / 65536.0 - 0.5);
  }
};

// Reads until the end (or `max_frames`), in blocks of a size a channel would ask for.
std::vector<float> ReadFrames(Source& source, std::int64_t max_frames = INT64_MAX) {
  std::vector<float> all;
  std::vector<float> block(1024 * kChannels);
  std::int64_t total = 0;
  while (total < max_frames) {
    const std::int64_t want = std::min<std::int64_t>(1024, max_frames - total);
    const std::int64_t got = source.Read(block.data(), want);
    EXPECT_GE(got, 0);
    if (got <= 0) break;
    all.insert(all.end(), block.begin(), block.begin() + got * kChannels);
    total += got;
  }
  return all;
}

std::int64_t FrameCount(const std::vector<float>& samples) {
  return static_cast<std::int64_t>(samples.size()) / kChannels;
}

// Frequency of channel 0 from its upward zero crossings between two frames.
double MeasureFrequency(const std::vector<float>& samples, std::int64_t from, std::int64_t to) {
  int crossings = 0;
  std::int64_t first = -1;
  std::int64_t last = -1;
  for (std::int64_t i = from + 1; i < to; ++i) {
    if (samples[(i - 1) * kChannels] < 0 && samples[i * kChannels] >= 0) {
      if (first < 0) first = i;
      last = i;
      ++crossings;
    }
  }
  if (crossings < 2) return 0;
  return (crossings - 1) * static_cast<double>(kRate) / static_cast<double>(last - first);
}

// The first frame whose magnitude exceeds a small threshold.
std::int64_t FirstSoundingFrame(const std::vector<float>& samples) {
  for (std::int64_t i = 0; i < FrameCount(samples); ++i) {
    if (std::fabs(samples[i * kChannels]) > 0.05f) return i;
  }
  return -1;
}

std::unique_ptr<Source> TempoOver(std::shared_ptr<SineSource> input) {
  auto tempo = CreateTempoSource(std::move(input));
  EXPECT_NE(tempo, nullptr);
  return tempo;
}

TEST(TempoSourceTest, OutputLengthAndPitchFollowTempoPitchAndFrequency) {
  struct Case {
    Attribute attribute;
    float value;
    double length_factor;     // output frames per input frame
    double frequency_factor;  // output frequency per input frequency
  };
  const Case cases[] = {
      {Attribute::kTempo, 50, 2.0 / 3.0, 1.0},
      {Attribute::kTempo, -50, 2.0, 1.0},
      {Attribute::kTempoPitch, 12, 1.0, 2.0},
      {Attribute::kTempoPitch, -12, 1.0, 0.5},
      {Attribute::kTempoFrequency, kRate * 1.5f, 2.0 / 3.0, 1.5},
  };
  const std::int64_t input_frames = 3 * kRate;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "attribute " << static_cast<int>(c.attribute) << " = " << c.value);
    auto tempo = TempoOver(std::make_shared<SineSource>(440, input_frames));
    ASSERT_TRUE(tempo->SetAttribute(c.attribute, c.value));
    const std::vector<float> out = ReadFrames(*tempo);
    EXPECT_NEAR(FrameCount(out), input_frames * c.length_factor, input_frames * 0.01);
    const std::int64_t frames = FrameCount(out);
    EXPECT_NEAR(MeasureFrequency(out, frames / 4, frames * 3 / 4), 440 * c.frequency_factor,
                440 * c.frequency_factor * 0.01);
  }
}

TEST(TempoSourceTest, NeutralSettingsPassSamplesThroughUntouched) {
  SineSource reference(440, kRate);
  auto tempo = TempoOver(std::make_shared<SineSource>(440, kRate));
  // Setting the neutral values explicitly must not engage the stretcher either.
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 0));
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPitch, 0));
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoFrequency, kRate));
  const std::vector<float> expected = ReadFrames(reference);
  const std::vector<float> out = ReadFrames(*tempo);
  ASSERT_EQ(out.size(), expected.size());
  EXPECT_EQ(0, std::memcmp(out.data(), expected.data(), out.size() * sizeof(float)));
}

TEST(TempoSourceTest, ReturningToNeutralPassesThroughFromTheHeardPosition) {
  auto input = std::make_shared<SineSource>(440, 4 * kRate);
  auto tempo = TempoOver(input);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 50));
  ReadFrames(*tempo, kRate);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 0));

  std::vector<float> block(512 * kChannels);
  ASSERT_EQ(tempo->Read(block.data(), 1), 1);  // the switch happens at the next read
  const double position = tempo->NextFrameSeconds();
  // One second of output at +50% went through about 1.5 s of input.
  EXPECT_NEAR(position, 1.5, 0.1);
  ASSERT_EQ(tempo->Read(block.data(), 512), 512);
  const auto first = static_cast<std::int64_t>(std::llround(position * kRate));
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(block[i * kChannels], input->SampleAt(first + i)) << "frame " << i;
  }
}

TEST(TempoSourceTest, PositionTracksInputTimeWithinTheStretcherLatency) {
  for (float tempo_percent : {50.0f, -50.0f, 0.0f}) {
    SCOPED_TRACE(tempo_percent);
    auto tempo = TempoOver(std::make_shared<SineSource>(440, 10 * kRate));
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, tempo_percent));
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPitch, 2));  // engages the stretcher at 0 too
    const double speed = 1 + tempo_percent / 100;
    EXPECT_DOUBLE_EQ(tempo->NextFrameSeconds(), 0.0);
    std::int64_t heard = 0;
    for (int step = 0; step < 5; ++step) {
      heard += FrameCount(ReadFrames(*tempo, kRate / 2));
      EXPECT_NEAR(tempo->NextFrameSeconds(), heard * speed / kRate, 0.1);
    }
  }
}

TEST(TempoSourceTest, SeekLandsTheNextOutputAtTheInputPosition) {
  // Silence until 2 s, then a tone: after seeking to 1.8 s at +50% the tone starts 0.2 / 1.5 s
  // into the output.
  const std::int64_t tone_start = 2 * kRate;
  auto input = std::make_shared<SineSource>(440, 4 * kRate, tone_start);
  auto tempo = TempoOver(input);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 50));
  ReadFrames(*tempo, kRate / 2);

  const std::int64_t target = tone_start - kRate / 5;
  ASSERT_TRUE(tempo->Seek(target));
  EXPECT_DOUBLE_EQ(tempo->NextFrameSeconds(), static_cast<double>(target) / kRate);
  const std::vector<float> out = ReadFrames(*tempo, kRate);
  EXPECT_NEAR(FirstSoundingFrame(out), kRate / 5 / 1.5, kRate * 0.015);

  // Seeking at neutral settings lands on the very frame.
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 0));
  ASSERT_TRUE(tempo->Seek(tone_start - 100));
  const std::vector<float> exact = ReadFrames(*tempo, 1000);
  ASSERT_EQ(FrameCount(exact), 1000);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(exact[i * kChannels], input->SampleAt(tone_start - 100 + i)) << "frame " << i;
  }
}

TEST(TempoSourceTest, SeekOutsideTheInputFailsAndKeepsPlaying) {
  auto tempo = TempoOver(std::make_shared<SineSource>(440, kRate));
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 50));
  ReadFrames(*tempo, 1000);
  EXPECT_FALSE(tempo->Seek(5 * kRate));
  EXPECT_EQ(LastError(), kErrorPosition);
  EXPECT_GT(FrameCount(ReadFrames(*tempo)), 0);
}

TEST(TempoSourceTest, AntiAliasLengthIsRoundedToWhatSoundTouchAccepts) {
  struct Case {
    float requested;
    float used;
  };
  const Case cases[] = {{12, 16}, {20, 24}, {64, 64}, {0, 8}, {3, 8}, {1000, 128}, {127, 128}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.requested);
    auto tempo = TempoOver(std::make_shared<SineSource>(440, kRate / 2));
    // A pitch shift puts the rate transposer, and with it the anti-alias filter, to work.
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPitch, 5));
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoAntiAliasFilterLength, c.requested));
    float used = 0;
    ASSERT_TRUE(tempo->GetAttribute(Attribute::kTempoAntiAliasFilterLength, &used));
    EXPECT_EQ(used, c.used);
    EXPECT_NEAR(FrameCount(ReadFrames(*tempo)), kRate / 2, kRate * 0.01);
  }
}

// Each option changes what the stretcher produces, so it has reached SoundTouch.
TEST(TempoSourceTest, StretcherOptionsTakeEffect) {
  auto stretch = [](Attribute attribute, float value) {
    auto tempo = CreateTempoSource(std::make_shared<NoiseSource>(kRate));
    EXPECT_TRUE(tempo->SetAttribute(Attribute::kTempo, 30));
    EXPECT_TRUE(tempo->SetAttribute(Attribute::kTempoPitch, 3));
    EXPECT_TRUE(tempo->SetAttribute(Attribute::kTempoSequenceMs, 82));
    EXPECT_TRUE(tempo->SetAttribute(Attribute::kTempoSeekWindowMs, 28));
    EXPECT_TRUE(tempo->SetAttribute(attribute, value));
    float stored = -1;
    EXPECT_TRUE(tempo->GetAttribute(attribute, &stored));
    EXPECT_EQ(stored, value);
    return ReadFrames(*tempo);
  };
  const std::vector<float> baseline = stretch(Attribute::kTempoOverlapMs, 8);
  const std::pair<Attribute, float> options[] = {
      {Attribute::kTempoUseAntiAliasFilter, 0}, {Attribute::kTempoAntiAliasFilterLength, 128},
      {Attribute::kTempoUseQuickAlgorithm, 1},  {Attribute::kTempoSequenceMs, 40},
      {Attribute::kTempoSeekWindowMs, 10},      {Attribute::kTempoOverlapMs, 20},
      {Attribute::kTempoSequenceMs, 0},         {Attribute::kTempoSeekWindowMs, 0},
  };
  for (const auto& [attribute, value] : options) {
    SCOPED_TRACE(testing::Message() << "attribute " << static_cast<int>(attribute) << " = " << value);
    EXPECT_NE(stretch(attribute, value), baseline);
  }
}

// The largest jump between neighbouring samples of channel 0 in a range of frames.
float LargestStep(const std::vector<float>& samples, std::int64_t from, std::int64_t to) {
  float largest = 0;
  for (std::int64_t i = std::max<std::int64_t>(from, 1); i < to; ++i) {
    largest = std::max(largest, std::fabs(samples[i * kChannels] - samples[(i - 1) * kChannels]));
  }
  return largest;
}

TEST(TempoSourceTest, PreventClickSmoothsTheSwitchToAndFromTheStretcher) {
  // A 440 Hz sine of amplitude 0.5 never moves more than about 0.032 between samples.
  const float natural_step = static_cast<float>(0.5 * 2 * std::numbers::pi * 440 / kRate);
  auto tempo = TempoOver(std::make_shared<SineSource>(440, 6 * kRate));
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPreventClick, 1));
  std::vector<float> out = ReadFrames(*tempo, 1000);
  for (float value : {40.0f, 0.0f, -30.0f, 0.0f}) {
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, value));
    const std::vector<float> more = ReadFrames(*tempo, 10000);
    out.insert(out.end(), more.begin(), more.end());
  }
  EXPECT_LT(LargestStep(out, 0, FrameCount(out)), natural_step * 1.5f);
}

TEST(TempoSourceTest, LiveInputKeepsPlayingAcrossTheSwitchToNeutral) {
  for (float prevent_click : {0.0f, 1.0f}) {
    SCOPED_TRACE(prevent_click);
    auto tempo = TempoOver(std::make_shared<SineSource>(440, 3 * kRate, 0, /*live=*/true));
    EXPECT_EQ(tempo->LengthFrames(), -1);
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPreventClick, prevent_click));
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 50));
    std::int64_t total = FrameCount(ReadFrames(*tempo, kRate));
    ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 0));
    const std::vector<float> rest = ReadFrames(*tempo);
    total += FrameCount(rest);
    // 1 s of output covered 1.5 s of input; the other 1.5 s play unchanged, give or take what
    // the stretcher held.
    EXPECT_NEAR(total, 2.5 * kRate, 0.1 * kRate);
    EXPECT_NEAR(MeasureFrequency(rest, 0, FrameCount(rest)), 440, 5);
  }
}

TEST(TempoSourceTest, PassesLengthTagsBitrateAndCodecOfItsInput) {
  auto tempo = TempoOver(std::make_shared<SineSource>(440, 12345));
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 100));
  EXPECT_EQ(tempo->LengthFrames(), 12345);
  EXPECT_EQ(tempo->Format().sample_rate, kRate);
  EXPECT_EQ(tempo->Format().channels, kChannels);
  EXPECT_EQ(tempo->Tags(TagBlock::kVorbis), std::string("TITLE=Sine\0", 11));
  EXPECT_EQ(tempo->Tags(TagBlock::kId3v2), std::nullopt);
  EXPECT_EQ(tempo->BitrateKbps(), 1411);
  EXPECT_EQ(tempo->CodecName(), "Sine");
}

TEST(TempoSourceTest, EndAndFailuresAreReportedAsSuch) {
  auto input = std::make_shared<SineSource>(440, kRate);
  auto tempo = TempoOver(input);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, 25));
  ReadFrames(*tempo);
  std::vector<float> block(64 * kChannels);
  EXPECT_EQ(tempo->Read(block.data(), 64), 0);
  EXPECT_EQ(tempo->Read(block.data(), 64), 0);

  // A failing input: the error comes through as -1 with the input's code.
  ASSERT_TRUE(tempo->Seek(0));
  input->FailReads();
  EXPECT_EQ(tempo->Read(block.data(), 64), -1);
  EXPECT_EQ(LastError(), kErrorFileForm);
}

TEST(TempoSourceTest, RejectsWhatItCannotTake) {
  auto tempo = TempoOver(std::make_shared<SineSource>(440, kRate));
  EXPECT_FALSE(tempo->SetAttribute(Attribute::kVolume, 1));
  EXPECT_EQ(LastError(), kErrorIllegalType);
  EXPECT_FALSE(tempo->SetAttribute(Attribute::kTempo, std::nanf("")));
  EXPECT_EQ(LastError(), kErrorIllegalParam);
  float value = 0;
  EXPECT_FALSE(tempo->GetAttribute(Attribute::kBufferFill, &value));

  // Out-of-range values are held to what the stretcher can do.
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempo, -100));
  ASSERT_TRUE(tempo->GetAttribute(Attribute::kTempo, &value));
  EXPECT_EQ(value, -95);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoPitch, 99));
  ASSERT_TRUE(tempo->GetAttribute(Attribute::kTempoPitch, &value));
  EXPECT_EQ(value, 60);
  ASSERT_TRUE(tempo->SetAttribute(Attribute::kTempoFrequency, 0));
  ASSERT_TRUE(tempo->GetAttribute(Attribute::kTempoFrequency, &value));
  EXPECT_GT(value, 0);

  EXPECT_EQ(CreateTempoSource(nullptr), nullptr);
}

}  // namespace
}  // namespace kestrel::audio
