#include "engine/plugin_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

const char* const kFamilyOrder[] = {"FLAC", "Opus", "WMA",      "WavPack", "APE",   "ALAC",
                                    "MIDI", "CD audio", "DSD", "HLS",     "Mixer", "AAC"};

std::vector<audio::CodecFamily> Families(bool (*available)(int index)) {
  std::vector<audio::CodecFamily> families;
  for (int i = 0; i < 12; ++i) families.push_back({kFamilyOrder[i], available(i)});
  return families;
}

class PluginReportTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCodecFamilySourceForTesting(nullptr); }
};

TEST_F(PluginReportTest, ListsWhatLoadedAndWhatFailedInOrder) {
  const struct {
    const char* name;
    bool (*available)(int);
    const char* report;
  } cases[] = {
      {"all", [](int) { return true; },
       "Loaded: FLAC, Opus, WMA, WavPack, APE, ALAC, MIDI, CD audio, DSD, HLS, Mixer, AAC\n"
       "Failed: (none)"},
      {"some", [](int i) { return i != 7 && i != 2; },
       "Loaded: FLAC, Opus, WavPack, APE, ALAC, MIDI, DSD, HLS, Mixer, AAC\n"
       "Failed: WMA, CD audio"},
      {"none", [](int) { return false; },
       "Loaded: (none)\n"
       "Failed: FLAC, Opus, WMA, WavPack, APE, ALAC, MIDI, CD audio, DSD, HLS, Mixer, AAC"},
  };
  for (const auto& c : cases) {
    const std::vector<audio::CodecFamily> families = Families(c.available);
    SetCodecFamilySourceForTesting([families] { return families; });
    EXPECT_EQ(PluginReport(), c.report) << c.name;
  }
}

// Without a test source the report asks the build's decoders, which always include FLAC.
TEST_F(PluginReportTest, TheBuildsOwnDecodersAreReported) {
  const std::string report = PluginReport();
  EXPECT_EQ(report.rfind("Loaded: FLAC, Opus", 0), 0u) << report;
  EXPECT_NE(report.find("\nFailed: "), std::string::npos) << report;
}

}  // namespace
}  // namespace kestrel
