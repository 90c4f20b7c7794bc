// Devices: the null devices' list, starting and stopping output, SDL failing cleanly without a
// sound card (and playing through SDL's dummy driver), and the library-wide options.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "support/temp_folder.h"

namespace kestrel::audio {
namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class OutputTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (CurrentDevice() != -1) FreeOutput();
  }
};

TEST_F(OutputTest, NullDevicesAreListedAfterTheNoSoundDevice) {
  struct Expected {
    int device;
    const char* name;
    bool is_default;
  };
  for (const Expected& e : {Expected{0, "No sound", false}, Expected{1, "Null output 1", true},
                            Expected{2, "Null output 2", false}}) {
    DeviceInfo info;
    ASSERT_TRUE(GetDeviceInfo(e.device, &info)) << e.device;
    EXPECT_EQ(info.name, e.name);
    EXPECT_EQ(info.is_default, e.is_default);
    EXPECT_TRUE(info.enabled);
    EXPECT_FALSE(info.initialized);
  }
  for (int device : {3, -1}) {
    EXPECT_FALSE(GetDeviceInfo(device, nullptr));
    EXPECT_EQ(LastError(), kErrorDevice);
  }
}

TEST_F(OutputTest, OutputStartsStopsAndStartsAgainAndRefusesWhatItCannotDo) {
  EXPECT_FALSE(FreeOutput());
  EXPECT_EQ(LastError(), kErrorInit);
  EXPECT_EQ(CurrentDevice(), -1);
  EXPECT_EQ(CreateSourceStream(std::make_unique<test::FrameCounterSource>(44100, 10), 0), 0u);
  EXPECT_EQ(LastError(), kErrorInit);
  EXPECT_FALSE(SetNullDeviceRecording("/tmp/x.wav"));
  EXPECT_EQ(LastError(), kErrorInit);
  // A decoding channel needs no output.
  const Handle decoding =
      CreateSourceStream(std::make_unique<test::FrameCounterSource>(44100, 10), kStreamDecode);
  EXPECT_NE(decoding, 0u);
  EXPECT_TRUE(FreeStream(decoding));

  struct Refused {
    int device;
    int mix_rate;
    int error;
  };
  for (const Refused& r : {Refused{3, 44100, kErrorDevice}, Refused{-2, 44100, kErrorDevice},
                           Refused{1, 0, kErrorFreq}, Refused{1, 10'000'000, kErrorFreq}}) {
    EXPECT_FALSE(InitOutput(r.device, r.mix_rate));
    EXPECT_EQ(LastError(), r.error) << r.device << " " << r.mix_rate;
  }

  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(InitOutput(-1, 48000));
    EXPECT_EQ(CurrentDevice(), 1);
    DeviceInfo info;
    ASSERT_TRUE(GetDeviceInfo(1, &info));
    EXPECT_TRUE(info.initialized);
    EXPECT_FALSE(InitOutput(2, 48000));
    EXPECT_EQ(LastError(), kErrorAlready);
    EXPECT_GE(OutputLatencyMs(), 0.0);
    ASSERT_TRUE(FreeOutput());
    EXPECT_EQ(CurrentDevice(), -1);
  }
  ASSERT_TRUE(InitOutput(2, 44100));
  EXPECT_EQ(CurrentDevice(), 2);
  ASSERT_TRUE(FreeOutput());
  ASSERT_TRUE(InitOutput(0, 44100));  // the no-sound device plays silently
  const Handle channel =
      CreateSourceStream(std::make_unique<test::FrameCounterSource>(44100, 4410), 0);
  ASSERT_TRUE(Play(channel, false));
  EXPECT_EQ(IsActive(channel), ActiveState::kPlaying);
}

TEST_F(OutputTest, RecordingToAFolderThatDoesNotExistFails) {
  ASSERT_TRUE(InitOutput(1, 44100));
  EXPECT_FALSE(SetNullDeviceRecording("/nonexistent-folder/mix.wav"));
  EXPECT_EQ(LastError(), kErrorFileOpen);
  EXPECT_TRUE(SetNullDeviceRecording(""));
}

TEST_F(OutputTest, WithoutAWorkingSoundDriverTheSdlDevicesFailCleanly) {
  ScopedEnvironment environment;
  environment.Set("KESTREL_AUDIO", nullptr);
  environment.Set("SDL_AUDIODRIVER", "no-such-driver");
  EXPECT_FALSE(GetDeviceInfo(1, nullptr));
  EXPECT_EQ(LastError(), kErrorDriver);
  EXPECT_FALSE(InitOutput(-1, 44100));
  EXPECT_EQ(LastError(), kErrorDriver);
  EXPECT_FALSE(InitOutput(1, 44100));
  EXPECT_EQ(LastError(), kErrorDriver);
  EXPECT_EQ(CurrentDevice(), -1);
  // The no-sound device needs no driver.
  EXPECT_TRUE(InitOutput(0, 44100));
  EXPECT_TRUE(FreeOutput());
}

TEST_F(OutputTest, SdlDevicesPlayThroughSdlsOwnDummyDriver) {
  ScopedEnvironment environment;
  environment.Set("KESTREL_AUDIO", nullptr);
  environment.Set("SDL_AUDIODRIVER", "dummy");
  DeviceInfo info;
  ASSERT_TRUE(GetDeviceInfo(1, &info)) << LastError();
  EXPECT_EQ(info.name, "Default");
  EXPECT_TRUE(info.is_default);
  EXPECT_EQ(info.driver, "sdl");
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(InitOutput(-1, 44100)) << LastError();
    EXPECT_EQ(CurrentDevice(), 1);
    EXPECT_GT(OutputLatencyMs(), 0.0);
    EXPECT_LT(OutputLatencyMs(), 200.0);
    EXPECT_FALSE(SetNullDeviceRecording("/tmp/never.wav"));
    const Handle channel = CreateSourceStream(
        std::make_unique<test::SineSource>(44100, 2, 440, 0.2f, 44100 * 10), 0);
    ASSERT_TRUE(Play(channel, false));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double heard = BytesToSeconds(channel, GetPosition(channel));
    EXPECT_GT(heard, 0.1);
    EXPECT_LT(heard, 0.6);
    ASSERT_TRUE(FreeOutput());
  }
}

TEST(AudioConfigTest, OptionsKeepTheirRangesAndSurviveFreeOutput) {
  struct Case {
    Config option;
    int valid;
    int too_low;
    int too_high;
  };
  for (const Case& c : {Case{Config::kBufferMs, 1000, 99, 5001},
                        Case{Config::kUpdatePeriodMs, 50, 4, 501},
                        Case{Config::kMidiVoices, 256, 0, 1001},
                        Case{Config::kNetPrebufferPercent, 50, -1, 101}}) {
    const int before = GetConfig(c.option);
    EXPECT_TRUE(SetConfig(c.option, c.valid));
    EXPECT_EQ(GetConfig(c.option), c.valid);
    for (int bad : {c.too_low, c.too_high}) {
      EXPECT_FALSE(SetConfig(c.option, bad));
      EXPECT_EQ(LastError(), kErrorIllegalParam);
      EXPECT_EQ(GetConfig(c.option), c.valid);
    }
    EXPECT_TRUE(SetConfig(c.option, before));
  }
  EXPECT_TRUE(SetConfig(Config::kVolumeCurve, 1));  // accepted; volume stays linear
  EXPECT_TRUE(SetConfig(Config::kVolumeCurve, 0));
  SetNetAgent("Agent/1.0");
  EXPECT_EQ(NetAgent(), "Agent/1.0");
}

TEST(AudioConfigTest, TheSoundFontMustExistAndBeASoundFont) {
  test::TempFolder temp;
  EXPECT_FALSE(SetMidiSoundFont((temp.path() / "missing.sf2").string()));
  EXPECT_EQ(LastError(), kErrorFileOpen);
  EXPECT_FALSE(SetMidiSoundFont(temp.Write("fake.sf2", "not a soundfont").string()));
  EXPECT_EQ(LastError(), kErrorFileForm);
  EXPECT_TRUE(SetMidiSoundFont(""));
  const char* timgm = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  if (std::filesystem::exists(timgm)) {
    EXPECT_TRUE(SetMidiSoundFont(timgm));
    EXPECT_TRUE(SetMidiSoundFont(""));
  }
}

}  // namespace
}  // namespace kestrel::audio
