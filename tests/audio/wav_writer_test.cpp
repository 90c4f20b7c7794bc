#include "audio/wav_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/support/wav_reader.h"
#include "support/temp_folder.h"

namespace kestrel::audio {
namespace {

TEST(WavWriterTest, WritesPcmAndFloatThatReadBackWithTheirFormat) {
  test::TempFolder temp;
  const std::vector<float> samples = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, -3.0f, 0.25f};
  for (const auto format : {WavSampleFormat::kPcm16, WavSampleFormat::kFloat32}) {
    const auto file = temp.path() / "out.wav";
    WavWriter writer;
    ASSERT_TRUE(writer.Open(file.string(), 22050, 2, format));
    ASSERT_TRUE(writer.Write(samples.data(), 3));
    ASSERT_TRUE(writer.Write(samples.data() + 6, 1));
    EXPECT_EQ(writer.frames_written(), 4);
    ASSERT_TRUE(writer.Close());
    const auto wav = test::ReadWav(file);
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->sample_rate, 22050);
    EXPECT_EQ(wav->channels, 2);
    ASSERT_EQ(wav->frames(), 4);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const float expected = format == WavSampleFormat::kPcm16
                                 ? std::clamp(samples[i], -1.0f, 1.0f)  // clipped, not wrapped
                                 : samples[i];
      EXPECT_NEAR(wav->samples[i], expected, 1.0 / 32767) << i;
    }
    EXPECT_EQ(test::ReadWholeFile(file).size(),
              44u + 8u * (format == WavSampleFormat::kPcm16 ? 2 : 4));
  }
}

TEST(WavWriterTest, RefusesWhatItCannotWrite) {
  WavWriter writer;
  EXPECT_FALSE(writer.Open("/nonexistent-folder/out.wav", 44100, 2));
  EXPECT_FALSE(writer.Open("/tmp/kestrel-wav-writer-test.wav", 0, 2));
  EXPECT_FALSE(writer.Write(nullptr, 1));
  EXPECT_TRUE(writer.Close());
}

}  // namespace
}  // namespace kestrel::audio
