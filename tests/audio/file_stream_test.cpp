// The thin wrappers: file, MIDI and tempo streams made into channels.
#include <gtest/gtest.h>

#include <vector>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"
#include "audio/wav_writer.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;

using FileStreamTest = NullOutputTest;

// A float WAV carrying frame numbers, so every frame heard can be checked.
std::string WriteCounterWav(const std::filesystem::path& file, std::int64_t frames) {
  FrameCounterSource source(44100, frames);
  std::vector<float> samples(static_cast<std::size_t>(frames) * 2);
  source.Read(samples.data(), frames);
  WavWriter writer;
  EXPECT_TRUE(writer.Open(file.string(), 44100, 2, WavSampleFormat::kFloat32));
  EXPECT_TRUE(writer.Write(samples.data(), frames));
  EXPECT_TRUE(writer.Close());
  return file.string();
}

TEST_F(FileStreamTest, AFileThroughATempoStreamAtTempoZeroIsHeardFrameForFrameFromTheSeek) {
  constexpr std::int64_t kFrames = 2 * 44100;
  constexpr std::int64_t kTarget = 30011;
  const std::string path = WriteCounterWav(temp_.path() / "counter.wav", kFrames);
  const Handle source = CreateFileStream(path, kStreamDecode);
  ASSERT_NE(source, 0u) << LastError();
  ChannelInfo info;
  ASSERT_TRUE(GetInfo(source, &info));
  EXPECT_EQ(info.file_name, path);
  EXPECT_EQ(info.sample_rate, 44100);
  const Handle tempo = CreateTempoStream(source, kStreamFreeSource);
  ASSERT_NE(tempo, 0u) << LastError();
  EXPECT_EQ(GetLength(tempo), kFrames * 8);
  ASSERT_TRUE(SetPosition(tempo, kTarget * 8, kPositionFlush));
  ASSERT_TRUE(Play(tempo, false));
  ASSERT_TRUE(WaitUntilStopped(tempo));
  EXPECT_EQ(GetPosition(tempo), kFrames * 8);
  const auto wav = TakeRecording();
  ASSERT_EQ(test::SoundFrames(wav), kFrames - kTarget);
  for (std::int64_t f = 0; f < kFrames - kTarget; ++f) {
    ASSERT_EQ(FrameCounterSource::Decode(wav.samples[2 * f], wav.samples[2 * f + 1]), kTarget + f);
  }
}

TEST_F(FileStreamTest, FilesThatCannotBePlayedFailWithTheirErrorCode) {
  struct Case {
    const char* name;
    std::string content;  // empty: the file does not exist
    int error;
  };
  for (const Case& c : {Case{"missing.mp3", "", kErrorFileOpen},
                        Case{"garbage.mp3", std::string(4096, '\x5a'), kErrorFileForm}}) {
    const auto path = c.content.empty() ? (temp_.path() / c.name).string()
                                        : temp_.Write(c.name, c.content).string();
    EXPECT_EQ(CreateFileStream(path, kStreamDecode), 0u) << c.name;
    EXPECT_EQ(LastError(), c.error) << c.name;
  }
  EXPECT_EQ(CreateMidiStream((temp_.path() / "missing.mid").string(), kStreamDecode), 0u);
  EXPECT_EQ(LastError(), kErrorFileOpen);
}

}  // namespace
}  // namespace kestrel::audio
