#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "audio/audio.h"
#include "audio/support/null_output_fixture.h"
#include "tempo/current_tempo_processor.h"

// The processor as the opener uses it, heard through the null device's recording of the mix.
namespace kestrel {
namespace {

constexpr int kRate = 44100;

class Sine440 : public audio::Source {
 public:
  explicit Sine440(std::int64_t length) : length_(length) {}
  audio::SourceFormat Format() const override { return {kRate, 2}; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    const std::int64_t count = std::min(frames, length_ - position_);
    for (std::int64_t i = 0; i < count; ++i) {
      const auto value = static_cast<float>(
          0.5 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(position_ + i) / kRate));
      out[2 * i] = out[2 * i + 1] = value;
    }
    position_ += count;
    return count;
  }
  bool Seek(std::int64_t frame) override {
    if (frame < 0 || frame > length_) return audio::Fail(audio::kErrorPosition);
    position_ = frame;
    return true;
  }
  std::int64_t LengthFrames() const override { return length_; }
  double NextFrameSeconds() const override { return static_cast<double>(position_) / kRate; }

 private:
  std::int64_t length_;
  std::int64_t position_ = 0;
};

class TempoPlaybackTest : public test::NullOutputTest {
 protected:
  void TearDown() override {
    DestroyTempoProcessor();
    test::NullOutputTest::TearDown();
  }
};

TEST_F(TempoPlaybackTest, ThreeSecondsPlayForTheStretchedDurationAtTheShiftedPitch) {
  struct Case {
    float tempo;
    float pitch;
    double seconds;
    double frequency;
  };
  for (const Case& c : {Case{50, 0, 2.0, 440}, Case{-50, 0, 6.0, 440}, Case{0, 12, 3.0, 880}}) {
    SCOPED_TRACE(testing::Message() << "tempo " << c.tempo << ", pitch " << c.pitch);
    ASSERT_TRUE(audio::SetNullDeviceRecording(recording_.string()));
    const audio::Handle source =
        audio::CreateSourceStream(std::make_unique<Sine440>(3 * kRate), audio::kStreamDecode);
    ASSERT_NE(source, 0u);
    SelectTempoAlgorithm(0);
    DestroyTempoProcessor();
    TempoProcessor& processor = GetTempoProcessor();
    processor.SetTempo(c.tempo);
    processor.SetPitch(c.pitch);
    const audio::Handle stream = processor.Create(source, kRate);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(audio::Play(stream, false));
    ASSERT_TRUE(WaitUntilStopped(stream));
    EXPECT_NEAR(processor.GetPositionSeconds(), 3.0, 0.05);  // the media's end, not the output's

    const test::WavContents wav = TakeRecording();
    EXPECT_NEAR(static_cast<double>(test::SoundFrames(wav)) / kRate, c.seconds, 0.05);
    EXPECT_NEAR(test::MeasuredFrequency(wav, 0, kRate / 2, kRate), c.frequency, c.frequency * 0.01);
  }
}

}  // namespace
}  // namespace kestrel
