#include <gtest/gtest.h>

#include <string>

#include "engine/output_fixture.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

using test::AudioOutputTest;

TEST_F(AudioOutputTest, StartsOnTheSavedDeviceWithTheSettingsAndNetworkOptions) {
  Settings& settings = TheSettings();
  settings.device_name = "Null output 2";
  settings.buffer_size = 700;
  settings.update_period = 40;
  settings.max_voices = 256;

  ASSERT_TRUE(InitAudioOutput(nullptr));

  EXPECT_EQ(CurrentDeviceIndex(), 2);
  EXPECT_EQ(audio::CurrentDevice(), 2);
  EXPECT_EQ(settings.device_name, "Null output 2");
  EXPECT_EQ(audio::GetConfig(audio::Config::kBufferMs), 700);
  EXPECT_EQ(audio::GetConfig(audio::Config::kUpdatePeriodMs), 40);
  EXPECT_EQ(audio::GetConfig(audio::Config::kVolumeCurve), 1);
  EXPECT_EQ(audio::GetConfig(audio::Config::kMidiVoices), 256);
  EXPECT_EQ(audio::NetAgent(), "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36");
  EXPECT_EQ(audio::GetConfig(audio::Config::kNetTimeoutMs), 30000);
  EXPECT_EQ(audio::GetConfig(audio::Config::kNetBufferMs), 10000);
  EXPECT_EQ(audio::GetConfig(audio::Config::kNetPrebufferPercent), 50);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(AudioOutputTest, AnUnpluggedDeviceFallsBackToTheDefaultAndTheNextSaveForgetsIt) {
  TheSettings().device_name = "USB headset";

  ASSERT_TRUE(InitAudioOutput(nullptr));

  EXPECT_EQ(CurrentDeviceIndex(), -1);
  EXPECT_EQ(audio::CurrentDevice(), 1);  // the null device flagged as the system default
  EXPECT_EQ(TheSettings().device_name, "");
  EXPECT_TRUE(boxes.empty());
  ASSERT_TRUE(SaveSettings());
  const std::string file = test::ReadWholeFile(SettingsFilePath());
  EXPECT_NE(file.find("DeviceName=\n"), std::string::npos) << file;
  EXPECT_EQ(file.find("USB headset"), std::string::npos);
}

// The saved device is listed but will not start (busy, or taken by another program).
TEST_F(AudioOutputTest, ASavedDeviceThatWillNotStartFallsBackToTheDefault) {
  struct Case {
    const char* name;
    bool default_starts;
    bool started;
    int device_in_use;
  };
  const Case cases[] = {
      {"the default starts", true, true, 1},
      {"nothing starts", false, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.clear();
    TheSettings().device_name = "Null output 2";
    std::vector<int> tried;
    SetOutputStarterForTesting([&](int device, int mix_rate) {
      tried.push_back(device);
      if (device == 2 || (device == -1 && !c.default_starts)) return false;
      return audio::InitOutput(device, mix_rate);
    });

    EXPECT_EQ(InitAudioOutput(nullptr), c.started);

    EXPECT_EQ(tried, (std::vector<int>{2, -1}));
    EXPECT_EQ(audio::CurrentDevice(), c.device_in_use);
    EXPECT_EQ(boxes.size(), c.started ? 0u : 1u);
    if (c.started) {
      EXPECT_EQ(CurrentDeviceIndex(), -1);
      EXPECT_EQ(TheSettings().device_name, "");
    }
    FreeAudioOutput();
  }
}

TEST_F(AudioOutputTest, NoSavedDeviceStartsTheDefault) {
  ASSERT_TRUE(InitAudioOutput(nullptr));
  EXPECT_EQ(CurrentDeviceIndex(), -1);
  EXPECT_EQ(audio::CurrentDevice(), 1);
}

TEST_F(AudioOutputTest, AMissingSoundFontIsIgnoredSilently) {
  TheSettings().sound_font = (home_.path() / "missing.sf2").string();
  EXPECT_TRUE(InitAudioOutput(nullptr));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(Spoken().empty());
}

// No output driver at all: the sound system named by SDL_AUDIODRIVER does not exist.
TEST_F(AudioOutputTest, WhenNoDeviceStartsTheUserIsToldAndStartFails) {
  struct Case {
    const char* saved_device;
    const char* language;
    const char* text;
  };
  const Case cases[] = {
      {"", "en", "Failed to start the sound output."},
      {"Null output 2", "en", "Failed to start the sound output."},
      {"", "fr", "Impossible de démarrer la sortie audio."},
  };
  test::ScopedEnv no_null_devices("KESTREL_AUDIO", nullptr);
  test::ScopedEnv no_driver("SDL_AUDIODRIVER", "kestrel-no-such-driver");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.saved_device) + " " + c.language);
    SetLanguage(c.language);
    boxes.clear();
    TheSettings().device_name = c.saved_device;

    EXPECT_FALSE(InitAudioOutput(nullptr));

    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.text);
    EXPECT_EQ(boxes[0].caption, "Kestrel");
    EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
    EXPECT_EQ(audio::CurrentDevice(), -1);
  }
}

TEST_F(AudioOutputTest, DevicesAreFoundByExactNameAndNamedByNumber) {
  const struct {
    const char* name;
    int device;
  } by_name[] = {
      {"Null output 1", 1}, {"Null output 2", 2}, {"", -1},
      {"Null output", -1},  {"null output 1", -1}, {"Null output 2 ", -1},
      {"No sound", -1},  // device 0 is never offered
  };
  for (const auto& c : by_name) {
    EXPECT_EQ(DeviceIndexByName(c.name), c.device) << '"' << c.name << '"';
  }
  const struct {
    int device;
    const char* name;
  } by_number[] = {{1, "Null output 1"}, {2, "Null output 2"}, {0, ""}, {-1, ""}, {3, ""}};
  for (const auto& c : by_number) {
    EXPECT_EQ(DeviceNameByIndex(c.device), c.name) << c.device;
  }
  const std::vector<OutputDeviceChoice> devices = EnabledOutputDevices();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_TRUE(devices[0].is_default);
  EXPECT_FALSE(devices[1].is_default);
}

}  // namespace
}  // namespace kestrel
