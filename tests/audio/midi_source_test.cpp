#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "audio/audio_error.h"
#include "audio/file_sources.h"
#include "support/temp_folder.h"

namespace kestrel::audio {
namespace {

using test::TempFolder;

const char kSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string BigEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

// A format-0 Standard MIDI File at 120 beats a minute, 480 ticks a beat: a piano plays C, E,
// G, then a C-major chord, each for half a second, so it lasts 2 s.
std::string FourNoteMidi() {
  std::string track;
  track += std::string("\x00\xFF\x51\x03", 4) + BigEndian(500000, 3);  // tempo: 0.5 s a beat
  track += std::string("\x00\xC0\x00", 3);                             // piano
  for (const char note : {'\x3C', '\x40', '\x43'}) {
    track += std::string("\x00\x90", 2) + note + '\x64';
    track += std::string("\x83\x60\x80", 3) + note + '\x40';  // 480 ticks later: off
  }
  track += std::string("\x00\x90\x3C\x64\x00\x90\x40\x64\x00\x90\x43\x64", 12);
  track += std::string("\x83\x60\x80\x3C\x40\x00\x80\x40\x40\x00\x80\x43\x40", 13);
  track += std::string("\x00\xFF\x2F\x00", 4);  // end of track
  return std::string("MThd") + BigEndian(6, 4) + BigEndian(0, 2) + BigEndian(1, 2) +
         BigEndian(480, 2) + "MTrk" + BigEndian(static_cast<std::uint32_t>(track.size()), 4) +
         track;
}

std::vector<float> ReadFrames(Source& source, std::int64_t frames) {
  std::vector<float> samples(static_cast<std::size_t>(frames * 2));
  std::int64_t done = 0;
  while (done < frames) {
    // Small reads, as the update thread makes.
    const std::int64_t got =
        source.Read(samples.data() + done * 2, std::min<std::int64_t>(frames - done, 1000));
    if (got <= 0) break;
    done += got;
  }
  samples.resize(static_cast<std::size_t>(done * 2));
  return samples;
}

float Peak(const std::vector<float>& samples) {
  float peak = 0;
  for (float sample : samples) peak = std::max(peak, std::fabs(sample));
  return peak;
}

class MidiSourceTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string midi_ = folder_.Write("notes.mid", FourNoteMidi()).string();
};

TEST_F(MidiSourceTest, RendersAudibleSoundToAnExactStableLength) {
  auto first = OpenMidiSource(midi_, kSoundFont, 128, false);
  ASSERT_NE(first, nullptr) << "error " << LastError();
  EXPECT_EQ(first->Format().sample_rate, 44100);
  EXPECT_EQ(first->Format().channels, 2);
  EXPECT_EQ(first->CodecName(), "MIDI");
  const std::int64_t length = first->LengthFrames();
  // 2 s, to the synthesiser's 64-frame block.
  EXPECT_GE(length, 2 * 44100);
  EXPECT_LT(length, 2 * 44100 + 64 * 2);

  const std::vector<float> once = ReadFrames(*first, length + 10000);
  EXPECT_EQ(static_cast<std::int64_t>(once.size() / 2), length);
  EXPECT_GT(Peak(once), 0.01f);
  EXPECT_DOUBLE_EQ(first->NextFrameSeconds(), static_cast<double>(length) / 44100);

  auto second = OpenMidiSource(midi_, kSoundFont, 128, false);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->LengthFrames(), length);
  EXPECT_EQ(ReadFrames(*second, length), once);  // the same render, sample for sample
}

TEST_F(MidiSourceTest, SeekLandsWhereAStraightRenderIs) {
  auto straight = OpenMidiSource(midi_, kSoundFont, 128, true);
  ASSERT_NE(straight, nullptr);
  const std::vector<float> reference = ReadFrames(*straight, straight->LengthFrames());
  EXPECT_GT(Peak(reference), 0.01f);

  auto source = OpenMidiSource(midi_, kSoundFont, 128, true);
  ASSERT_NE(source, nullptr);
  // Forward, inside a sounding note, backward (a fresh render), and the start again.
  for (const std::int64_t target : {30001, 22050 + 333, 70000, 5, 0, 88100}) {
    SCOPED_TRACE(target);
    ASSERT_TRUE(source->Seek(target));
    EXPECT_DOUBLE_EQ(source->NextFrameSeconds(), static_cast<double>(target) / 44100);
    const std::vector<float> got = ReadFrames(*source, 2000);
    const std::size_t count = std::min<std::size_t>(got.size(), reference.size() - target * 2);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(got, std::vector<float>(reference.begin() + target * 2,
                                      reference.begin() + target * 2 + count));
  }
  EXPECT_TRUE(source->Seek(source->LengthFrames()));
  float frames[8];
  EXPECT_EQ(source->Read(frames, 4), 0);
  EXPECT_FALSE(source->Seek(source->LengthFrames() + 1));
  EXPECT_EQ(LastError(), kErrorPosition);
}

TEST_F(MidiSourceTest, WithoutASoundFontItPlaysSilentForTheSameLength) {
  auto with_font = OpenMidiSource(midi_, kSoundFont, 128, false);
  auto without = OpenMidiSource(midi_, "", 128, false);
  auto bad_font = OpenMidiSource(midi_, folder_.Write("x.sf2", "not a font").string(), 128, false);
  ASSERT_NE(with_font, nullptr);
  ASSERT_NE(without, nullptr);
  ASSERT_NE(bad_font, nullptr);
  EXPECT_EQ(without->LengthFrames(), with_font->LengthFrames());
  EXPECT_LT(Peak(ReadFrames(*without, without->LengthFrames())), 1e-6f);  // reverb's anti-denormal noise
  EXPECT_LT(Peak(ReadFrames(*bad_font, bad_font->LengthFrames())), 1e-6f);
}

TEST_F(MidiSourceTest, RiffMidiFilesPlayTheirInnerFile) {
  const std::string smf = FourNoteMidi();
  std::string data_chunk = "data" + std::string(4, '\0') + smf;
  const auto size = static_cast<std::uint32_t>(smf.size());
  for (int i = 0; i < 4; ++i) data_chunk[4 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  if (smf.size() % 2) data_chunk.push_back('\0');
  std::string riff = "RIFF" + std::string(4, '\0') + "RMID" + data_chunk;
  const std::string rmi = folder_.Write("notes.rmi", riff).string();

  auto plain = OpenMidiSource(midi_, kSoundFont, 64, false);
  auto wrapped = OpenMidiSource(rmi, kSoundFont, 64, false);
  ASSERT_NE(wrapped, nullptr) << "error " << LastError();
  EXPECT_EQ(wrapped->LengthFrames(), plain->LengthFrames());
  EXPECT_EQ(ReadFrames(*wrapped, 20000), ReadFrames(*plain, 20000));
}

TEST_F(MidiSourceTest, FilesThatAreNotMidiGiveTheirErrorCodes) {
  const std::string truncated = FourNoteMidi().substr(0, 30);
  struct Case {
    std::string path;
    int error;
  };
  const Case cases[] = {
      {(folder_.path() / "missing.mid").string(), kErrorFileOpen},
      {folder_.Write("text.mid", "just some words").string(), kErrorFileForm},
      {folder_.Write("cut.mid", truncated).string(), kErrorFileForm},
      {folder_.Write("empty.mid", "").string(), kErrorFileForm},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ClearError();
    EXPECT_EQ(OpenMidiSource(c.path, kSoundFont, 128, false), nullptr);
    EXPECT_EQ(LastError(), c.error);
  }
}

}  // namespace
}  // namespace kestrel::audio
