#include <gtest/gtest.h>

#include "audio/audio.h"

namespace kestrel::audio {
namespace {

TEST(FfmpegCodecFamiliesTest, TwelveFamiliesInReportOrderWithWhatThisBuildDecodes) {
  const std::vector<CodecFamily> families = CodecFamilies();
  const char* names[] = {"FLAC", "Opus",     "WMA", "WavPack", "APE",   "ALAC",
                         "MIDI", "CD audio", "DSD", "HLS",     "Mixer", "AAC"};
  ASSERT_EQ(families.size(), 12u);
  for (std::size_t i = 0; i < families.size(); ++i) EXPECT_EQ(families[i].name, names[i]);
  // The Debian FFmpeg and FluidSynth this project builds on have all of these; CD audio needs
  // libavdevice's input, which the layer does not use.
  for (const CodecFamily& family : families) {
    SCOPED_TRACE(family.name);
    EXPECT_EQ(family.available, family.name != "CD audio");
  }
}

}  // namespace
}  // namespace kestrel::audio
