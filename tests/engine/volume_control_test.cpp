#include "engine/volume_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/transport.h"
#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

using Strings = std::vector<std::string>;

class VolumeControlTest : public test::TransportTest {
 protected:
  static float ChannelVolume() {
    float value = -1;
    EXPECT_TRUE(audio::GetAttribute(ThePlayerState().output_stream, audio::Attribute::kVolume,
                                    &value));
    return value;
  }

  // Plays the whole 3-second sine from its start at `volume` (muted or not) and returns the
  // level heard in its middle second.
  double HeardLevel(const std::string& file, float volume, bool muted,
                    const std::string& recording) {
    audio::SetNullDeviceSpeed(1);
    EXPECT_TRUE(OpenMedia(file));
    Pause();
    SetVolume(volume);
    if (muted != ThePlayerState().muted) ToggleMute();
    Stop();  // back to the start, with nothing buffered at the old volume
    RecordAgain(recording);
    audio::SetNullDeviceSpeed(0);
    EXPECT_TRUE(audio::Play(ThePlayerState().output_stream, false));
    EXPECT_TRUE(WaitUntilStopped(ThePlayerState().output_stream));
    const test::WavContents wav = TakeRecording();
    EXPECT_GE(wav.frames(), 2 * kMixRate);
    return test::Rms(wav, 0, kMixRate, kMixRate);
  }

  void RecordAgain(const std::string& name) {
    recording_ = temp_.path() / name;
    ASSERT_TRUE(audio::SetNullDeviceRecording(recording_.string()));
  }
};

TEST_F(VolumeControlTest, StepsAreClampedToTheLimitAndSpoken) {
  struct Case {
    const char* what;
    float volume, step;
    bool amplify;
    int direction;
    float expected;
    const char* spoken;
  };
  const Case cases[] = {
      {"up to 100%", 0.98f, 0.02f, false, +1, 1.0f, "Volume 100%"},
      {"held at 100%", 1.0f, 0.02f, false, +1, 1.0f, "Volume 100%"},
      {"above 100% when amplifying", 1.0f, 0.02f, true, +1, 1.02f, "Volume 102%"},
      {"held at 400%", 3.99f, 0.02f, true, +1, 4.0f, "Volume 400%"},
      {"down to 0", 0.01f, 0.02f, false, -1, 0.0f, "Volume 0%"},
      {"held at 0", 0.0f, 0.05f, true, -1, 0.0f, "Volume 0%"},
      {"big steps", 0.5f, 0.25f, false, -1, 0.25f, "Volume 25%"},
      {"rounded to whole percent", 0.5f, 0.016f, false, +1, 0.516f, "Volume 52%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Settings& settings = TheSettings();
    settings.playback_volume = c.volume;
    settings.volume_step = c.step;
    settings.allow_amplify = c.amplify;
    const int refreshes_before = refreshes_;
    c.direction > 0 ? VolumeUp() : VolumeDown();
    EXPECT_FLOAT_EQ(settings.playback_volume, c.expected);
    EXPECT_EQ(Spoken(), Strings{c.spoken});
    EXPECT_EQ(refreshes_, refreshes_before + 1);
  }
  // A volume set from elsewhere is clamped the same way; speech can be switched off.
  TheSettings().allow_amplify = false;
  TheSettings().speech_volume = false;
  SetVolume(2.5f);
  EXPECT_FLOAT_EQ(TheSettings().playback_volume, 1.0f);
  SetVolume(-1);
  EXPECT_FLOAT_EQ(TheSettings().playback_volume, 0.0f);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(VolumeControlTest, TheFrenchAnnouncementKeepsItsNumber) {
  SetLanguage("fr");
  EXPECT_EQ(SaidBy({[] { SetVolume(0.85f); }, ToggleMute, ToggleMute}),
            (Strings{"Volume 85%", "Muet", "Son rétabli"}));
}

TEST_F(VolumeControlTest, LegacyVolumeSetsTheSquareOnTheStreamAndMuteSilencesIt) {
  OpenPaused(ChirpFile("chirp.wav", 2));
  TheSettings().legacy_volume = true;
  EXPECT_EQ(SaidBy({[] { SetVolume(0.5f); }}), Strings{"Volume 50%"});
  EXPECT_FLOAT_EQ(ChannelVolume(), 0.25f);

  EXPECT_EQ(SaidBy({ToggleMute}), Strings{"Muted"});
  EXPECT_TRUE(ThePlayerState().muted);
  EXPECT_FLOAT_EQ(ChannelVolume(), 0.0f);
  // A volume step while muted stays silent.
  EXPECT_EQ(SaidBy({[] { SetVolume(0.6f); }}), Strings{"Volume 60%"});
  EXPECT_FLOAT_EQ(ChannelVolume(), 0.0f);
  EXPECT_EQ(SaidBy({ToggleMute}), Strings{"Unmuted"});
  EXPECT_FALSE(ThePlayerState().muted);
  EXPECT_FLOAT_EQ(ChannelVolume(), 0.36f);
}

TEST_F(VolumeControlTest, WithoutLegacyVolumeTheStreamIsLeftToTheEffectChain) {
  OpenPaused(ChirpFile("chirp.wav", 2));
  EXPECT_EQ(SaidBy({[] { SetVolume(0.5f); }, ToggleMute}), (Strings{"Volume 50%", "Muted"}));
  EXPECT_FLOAT_EQ(TheSettings().playback_volume, 0.5f);
  EXPECT_TRUE(ThePlayerState().muted);
  EXPECT_FLOAT_EQ(ChannelVolume(), 1.0f);
}

TEST_F(VolumeControlTest, HalfVolumeIsHeardAtAQuarterAndMuteIsSilentEitherWay) {
  const std::string file = SineFile("sine.wav", 3);
  for (bool legacy : {true, false}) {
    SCOPED_TRACE(legacy ? "legacy volume" : "volume stage");
    TheSettings().legacy_volume = legacy;
    const double full = HeardLevel(file, 1.0f, false, "full.wav");
    const double half = HeardLevel(file, 0.5f, false, "half.wav");
    const double muted = HeardLevel(file, 1.0f, true, "muted.wav");
    EXPECT_GT(full, 0.03);
    EXPECT_NEAR(half / full, 0.25, 0.01);
    EXPECT_EQ(muted, 0.0);
  }
}

}  // namespace
}  // namespace kestrel
