#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/audio_error.h"
#include "audio/byte_reader.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/ffmpeg_source.h"
#include "audio/file_sources.h"
#include "support/temp_folder.h"

namespace kestrel::audio {
namespace {

using test::MakeChirpFile;
using test::TempFolder;

constexpr std::int64_t kChirpFrames = 3 * 44100;

struct FormatCase {
  const char* file;
  std::vector<std::string> encoder;
  const char* codec;
  int sample_rate;
  std::int64_t frames;  // the exact length this file decodes to
  // Largest difference between a read after a seek and a straight read at the same frame: 0 for
  // lossless formats, which must match sample for sample.
  float seek_tolerance;
};

void PrintTo(const FormatCase& format, std::ostream* out) { *out << format.file; }

// What FFmpeg gives for each format: the lossless ones, WAV and AIFF decode to the samples that
// went in; MP3 (LAME's gapless header), Ogg Vorbis and M4A (the edit list) to the exact input
// length; Opus always runs at 48 kHz, so 3 s become 144000 frames. After a seek, lossy decoders
// start half a second before the target: MP3, Vorbis and Opus then give the very samples of a
// straight read, FFmpeg's AAC decoder comes within 2e-4.
std::vector<FormatCase> Formats() {
  return {
      {"chirp.wav", {}, "PCM", 44100, kChirpFrames, 0},
      {"chirp.aiff", {}, "PCM", 44100, kChirpFrames, 0},
      {"chirp.flac", {}, "FLAC", 44100, kChirpFrames, 0},
      {"chirp.wv", {}, "WavPack", 44100, kChirpFrames, 0},
      {"chirp.mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}, "MP3", 44100, kChirpFrames, 1e-6f},
      {"chirp.ogg", {"-c:a", "libvorbis"}, "Vorbis", 44100, kChirpFrames, 1e-6f},
      {"chirp.opus", {"-c:a", "libopus"}, "Opus", 48000, 144000, 1e-6f},
      {"chirp.m4a", {"-c:a", "aac"}, "AAC", 44100, kChirpFrames, 1e-3f},
  };
}

std::vector<float> ReadFrames(Source& source, std::int64_t frames) {
  const int channels = source.Format().channels;
  std::vector<float> samples(static_cast<std::size_t>(frames * channels));
  std::int64_t done = 0;
  while (done < frames) {
    const std::int64_t got = source.Read(samples.data() + done * channels, frames - done);
    if (got <= 0) break;
    done += got;
  }
  samples.resize(static_cast<std::size_t>(done * channels));
  return samples;
}

std::vector<float> ReadAll(Source& source) {
  return ReadFrames(source, source.LengthFrames() + 100000);
}

float MaxDifference(const std::vector<float>& a, const std::vector<float>& b) {
  float worst = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    worst = std::max(worst, std::fabs(a[i] - b[i]));
  }
  return worst;
}

class FfmpegFormatTest : public ::testing::TestWithParam<FormatCase> {
 protected:
  void SetUp() override {
    path_ = (folder_.path() / GetParam().file).string();
    ASSERT_TRUE(MakeChirpFile(path_, GetParam().encoder)) << "ffmpeg could not make " << path_;
  }
  TempFolder folder_;
  std::string path_;
};

TEST_P(FfmpegFormatTest, DecodesToTheExactLengthAtTheSourceRate) {
  const FormatCase& format = GetParam();
  auto source = OpenFileSource(path_);
  ASSERT_NE(source, nullptr) << "error " << LastError();
  EXPECT_EQ(source->Format().sample_rate, format.sample_rate);
  EXPECT_EQ(source->Format().channels, 2);
  EXPECT_EQ(source->CodecName(), format.codec);
  EXPECT_GT(source->BitrateKbps(), 0);
  EXPECT_EQ(source->LengthFrames(), format.frames);

  const std::vector<float> all = ReadAll(*source);
  EXPECT_EQ(static_cast<std::int64_t>(all.size() / 2), format.frames);
  EXPECT_DOUBLE_EQ(source->NextFrameSeconds(),
                   static_cast<double>(format.frames) / format.sample_rate);
  float peak = 0;
  for (float sample : all) peak = std::max(peak, std::fabs(sample));
  EXPECT_GT(peak, 0.3f);  // real audio, not silence
  EXPECT_LT(peak, 0.9f);  // AAC overshoots a little
  float after_end[16];
  EXPECT_EQ(source->Read(after_end, 8), 0);
}

TEST_P(FfmpegFormatTest, SeekLandsWhereAStraightReadIs) {
  const FormatCase& format = GetParam();
  auto straight = OpenFileSource(path_);
  ASSERT_NE(straight, nullptr);
  const std::vector<float> reference = ReadAll(*straight);
  ASSERT_EQ(static_cast<std::int64_t>(reference.size() / 2), format.frames);

  auto source = OpenFileSource(path_);
  ASSERT_NE(source, nullptr);
  constexpr std::int64_t kSpan = 4096;
  // Forward and backward, frame-odd targets, the very start, and the last frames.
  const std::int64_t targets[] = {77777, 12345, 0, 100001, format.frames - 1000, 4999};
  for (const std::int64_t target : targets) {
    SCOPED_TRACE(target);
    ASSERT_TRUE(source->Seek(target)) << "error " << LastError();
    EXPECT_DOUBLE_EQ(source->NextFrameSeconds(),
                     static_cast<double>(target) / format.sample_rate);
    const std::vector<float> got = ReadFrames(*source, kSpan);
    const std::int64_t expected_frames = std::min(kSpan, format.frames - target);
    ASSERT_EQ(static_cast<std::int64_t>(got.size() / 2), expected_frames);
    const std::vector<float> expected(reference.begin() + target * 2,
                                      reference.begin() + (target + expected_frames) * 2);
    if (format.seek_tolerance == 0) {
      EXPECT_EQ(got, expected);
    } else {
      EXPECT_LE(MaxDifference(got, expected), format.seek_tolerance);
    }
  }
}

TEST_P(FfmpegFormatTest, SeekAfterReachingTheEndLandsRight) {
  // Playing to the end, then seeking back (Stop, or a seek after a track ended), must land as
  // a seek from a fresh open does.
  auto straight = OpenFileSource(path_);
  ASSERT_NE(straight, nullptr);
  const std::vector<float> reference = ReadAll(*straight);
  ASSERT_TRUE(straight->Seek(straight->LengthFrames() - 88200));
  ReadAll(*straight);
  ASSERT_TRUE(straight->Seek(5));
  ReadFrames(*straight, 100);
  ASSERT_TRUE(straight->Seek(100001));
  const std::vector<float> got = ReadFrames(*straight, 2048);
  const std::vector<float> expected(reference.begin() + 100001 * 2,
                                    reference.begin() + (100001 + 2048) * 2);
  EXPECT_LE(MaxDifference(got, expected), GetParam().seek_tolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, FfmpegFormatTest, ::testing::ValuesIn(Formats()),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

TEST(FfmpegSourceTest, SeekToTheEndReadsNothingAndPastItFails) {
  TempFolder folder;
  const std::string path = (folder.path() / "end.flac").string();
  ASSERT_TRUE(MakeChirpFile(path, {}, 1.0));
  auto source = OpenFileSource(path);
  ASSERT_NE(source, nullptr);
  const std::int64_t length = source->LengthFrames();
  ASSERT_EQ(length, 44100);

  ASSERT_TRUE(source->Seek(length));
  float frames[64];
  EXPECT_EQ(source->Read(frames, 32), 0);

  EXPECT_FALSE(source->Seek(length + 1));
  EXPECT_EQ(LastError(), kErrorPosition);
  EXPECT_FALSE(source->Seek(-1));
  EXPECT_EQ(LastError(), kErrorPosition);

  // A failed seek leaves the source usable.
  ASSERT_TRUE(source->Seek(length - 10));
  EXPECT_EQ(source->Read(frames, 32), 10);
}

TEST(FfmpegSourceTest, FilesThatCannotBePlayedGiveTheirErrorCodes) {
  TempFolder folder;
  const std::string text = folder.Write("notes.mp3", "This is a shopping list, not audio.\n");
  // A FLAC file cut after its header: the decoder finds no audio.
  const std::string full = (folder.path() / "whole.flac").string();
  ASSERT_TRUE(MakeChirpFile(full, {}, 1.0));
  const std::string corrupt =
      folder.Write("corrupt.flac", test::ReadWholeFile(full).substr(0, 60));
  const std::string garbage = folder.Write("garbage.ogg", std::string(4096, '\x5a'));
  const std::string picture = (folder.path() / "picture.png").string();
  ASSERT_TRUE(test::RunFfmpeg(
      {"-f", "lavfi", "-i", "color=c=red:s=16x16:d=1", "-frames:v", "1", picture}));

  struct Case {
    std::string path;
    int error;
  };
  const Case cases[] = {
      {(folder.path() / "missing.flac").string(), kErrorFileOpen},
      {folder.path().string(), kErrorFileOpen},  // a folder
      {"", kErrorFileOpen},
      {text, kErrorFileForm},
      {corrupt, kErrorFileForm},
      {garbage, kErrorFileForm},
      {picture, kErrorNotAudio},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ClearError();
    EXPECT_EQ(OpenFileSource(c.path), nullptr);
    EXPECT_EQ(LastError(), c.error);
  }
}

// A reader that cannot seek and does not know its size, as a live internet stream.
class LiveReader final : public ByteReader {
 public:
  explicit LiveReader(std::string bytes) : inner_(MakeMemoryReader(std::move(bytes))) {}
  std::int64_t Read(void* buffer, std::int64_t size) override {
    return inner_->Read(buffer, std::min<std::int64_t>(size, 1000));  // small network reads
  }
  bool Seek(std::int64_t) override { return false; }
  std::int64_t Size() const override { return -1; }

 private:
  std::unique_ptr<ByteReader> inner_;
};

TEST(FfmpegSourceTest, ByteReadersDecodeLikeTheFile) {
  TempFolder folder;
  const std::string path = (folder.path() / "stream.mp3").string();
  ASSERT_TRUE(MakeChirpFile(path, {"-c:a", "libmp3lame", "-b:a", "128k"}, 1.0));
  auto file = OpenFileSource(path);
  ASSERT_NE(file, nullptr);
  const std::vector<float> reference = ReadAll(*file);

  // In memory and seekable: the same samples, the same length, and seeking works.
  auto memory = OpenStreamSource(MakeMemoryReader(test::ReadWholeFile(path)), "stream.mp3");
  ASSERT_NE(memory, nullptr) << "error " << LastError();
  EXPECT_EQ(memory->LengthFrames(), file->LengthFrames());
  EXPECT_EQ(ReadAll(*memory), reference);
  EXPECT_TRUE(memory->Seek(1000));

  // Live: it plays from the start to the end, without seeking.
  auto live = OpenStreamSource(std::make_unique<LiveReader>(test::ReadWholeFile(path)));
  ASSERT_NE(live, nullptr) << "error " << LastError();
  EXPECT_EQ(live->CodecName(), "MP3");
  const std::vector<float> streamed = ReadFrames(*live, 1 << 20);
  ASSERT_GE(streamed.size(), reference.size());
  // Without the gapless header's end trim, a stream may run on into the encoder's padding.
  EXPECT_EQ(std::vector<float>(streamed.begin(), streamed.begin() + reference.size()), reference);
  EXPECT_FALSE(live->Seek(0));
  EXPECT_EQ(LastError(), kErrorNotFile);

  ClearError();
  EXPECT_EQ(OpenStreamSource(nullptr), nullptr);
  EXPECT_EQ(LastError(), kErrorFileOpen);
}

}  // namespace
}  // namespace kestrel::audio
