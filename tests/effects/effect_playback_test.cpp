#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>

#include "audio/audio.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/support/null_output_fixture.h"
#include "effects/effect_chain.h"
#include "effects/effect_cycling.h"
#include "effects/effect_parameter_table.h"
#include "effects/effect_parameters.h"
#include "effects/spoken_texts.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

// The keys heard: a sine file opened on the null device, the keys pressed while it is paused, then
// the whole file played again from the start into a fresh recording of the mix.
namespace kestrel {
namespace {

constexpr double kSeconds = 2.0;
constexpr double kHz = 440.0;

class EffectPlaybackTest : public test::NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    TheSettings() = Settings{};
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{};
    InitEffectParameterDefaults();
    file_ = (temp_.path() / "sine.wav").string();
    ASSERT_TRUE(test::RunFfmpeg({"-f", "lavfi", "-i",
                                 "sine=frequency=440:sample_rate=44100:duration=2", "-ac", "2",
                                 file_}));
  }

  void TearDown() override {
    CloseMedia();
    NullOutputTest::TearDown();
  }

  // Opens the file and pauses it at once, so keys act on a channel that exists. The device runs
  // in real time meanwhile: as fast as it goes, a loaded machine could play the whole file before
  // the pause.
  void OpenPaused() {
    audio::SetNullDeviceSpeed(1);
    ASSERT_TRUE(OpenMedia(file_));
    output_ = ThePlayerState().output_stream;
    ASSERT_NE(output_, 0u);
    ASSERT_TRUE(audio::Pause(output_));
    audio::SetNullDeviceSpeed(0);
  }

  // Plays the open file from its start to its end and returns what the device played. The seek
  // drops whatever was mixed before the keys were pressed.
  test::WavContents PlayWholeFile() {
    GetTempoProcessor().SetPositionSeconds(0);
    recording_ = temp_.path() / ("mix" + std::to_string(++recordings_) + ".wav");
    EXPECT_TRUE(audio::SetNullDeviceRecording(recording_.string()));
    EXPECT_TRUE(audio::Play(output_, false));
    EXPECT_TRUE(WaitUntilStopped(output_));
    return TakeRecording();
  }

  static void Press(void (*key)(int), int direction, int times) {
    for (int i = 0; i < times; ++i) key(direction);
  }

  std::string file_;
  audio::Handle output_ = 0;
  int recordings_ = 0;
  test::SpokenTexts spoken_;
};

struct Heard {
  double seconds = 0;
  double hz = 0;
  double rms = 0;
};

Heard Measure(const test::WavContents& wav) {
  const std::int64_t frames = test::SoundFrames(wav);
  return {static_cast<double>(frames) / wav.sample_rate,
          test::MeasuredFrequency(wav, 0, frames / 4, frames / 2),
          test::Rms(wav, 0, frames / 4, frames / 2)};
}

TEST_F(EffectPlaybackTest, UpAndDownOnEachStreamParameterChangeWhatIsHeard) {
  OpenPaused();
  const Heard plain = Measure(PlayWholeFile());
  ASSERT_NEAR(plain.seconds, kSeconds, 0.1);
  ASSERT_NEAR(plain.hz, kHz, kHz * 0.01);
  ASSERT_GT(plain.rms, 0.05);

  Settings& settings = TheSettings();
  settings.effects_pitch = settings.effects_tempo = settings.effects_rate = true;
  settings.rate_step_mode = 1;  // twelve steps: an octave
  struct Case {
    int id;
    int direction;
    int presses;
    double seconds, hz, level;  // level: RMS relative to the untouched file
    const char* said;
  };
  const Case cases[] = {
      {kParamVolume, -1, 25, kSeconds, kHz, 0.25, "Volume 50%"},  // the gain is the square
      {kParamPitch, +1, 12, kSeconds, 2 * kHz, 1, "Pitch +12 semitones"},
      {kParamPitch, -1, 12, kSeconds, kHz / 2, 1, "Pitch -12 semitones"},
      {kParamTempo, +1, 20, kSeconds / 2, kHz, 1, "Tempo 100%"},
      {kParamTempo, -1, 10, kSeconds * 2, kHz, 1, "Tempo -50%"},
      {kParamRate, +1, 12, kSeconds / 2, 2 * kHz, 1, "Rate 2.00x"},
      {kParamRate, -1, 12, kSeconds * 2, kHz / 2, 1, "Rate 0.50x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " direction " << c.direction);
    SetCurrentEffectParameter(c.id);
    Press(AdjustCurrentParameter, c.direction, c.presses);
    EXPECT_EQ(spoken_.TakeTexts().back(), c.said);

    const Heard heard = Measure(PlayWholeFile());
    EXPECT_NEAR(heard.seconds, c.seconds, 0.1);
    EXPECT_NEAR(heard.hz, c.hz, c.hz * 0.02);
    EXPECT_NEAR(heard.rms / plain.rms, c.level, 0.03);

    ResetCurrentParameter();  // Backspace: heard at its default again
    const Heard reset = Measure(PlayWholeFile());
    EXPECT_NEAR(reset.seconds, kSeconds, 0.1);
    EXPECT_NEAR(reset.hz, kHz, kHz * 0.01);
    EXPECT_NEAR(reset.rms / plain.rms, 1.0, 0.03);
  }
}

TEST_F(EffectPlaybackTest, MuteSilencesAndTheVolumeRunsAfterEveryOtherStage) {
  OpenPaused();
  // A stage of the chain at the usual priority hears the file before the volume is applied.
  std::atomic<float> peak_before_volume{0};
  const audio::Handle probe = audio::SetDsp(
      output_,
      [&](float* samples, int frames, int channels, int) {
        float peak = peak_before_volume.load();
        for (int i = 0; i < frames * channels; ++i) peak = std::fmax(peak, std::fabs(samples[i]));
        peak_before_volume.store(peak);
      },
      0);
  ASSERT_NE(probe, 0u);
  const Heard plain = Measure(PlayWholeFile());

  SetEffectParameter(kParamVolume, 0.5f);
  peak_before_volume = 0;
  const Heard quieter = Measure(PlayWholeFile());
  EXPECT_NEAR(quieter.rms / plain.rms, 0.25, 0.02);
  EXPECT_NEAR(peak_before_volume.load(), plain.rms * std::sqrt(2.0), 0.01);  // untouched sine
  audio::RemoveDsp(output_, probe);  // it reads a variable of this test

  ThePlayerState().muted = true;
  const test::WavContents muted = PlayWholeFile();
  EXPECT_EQ(test::SoundFrames(muted), 0);
  EXPECT_GT(muted.frames(), 0);  // it played, silently

  ThePlayerState().muted = false;
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);
}

TEST_F(EffectPlaybackTest, TheChainIsBuiltOnceAndRemovedWhole) {
  OpenPaused();
  const Heard plain = Measure(PlayWholeFile());
  SetEffectParameter(kParamVolume, 0.5f);
  ApplyEffectChain();  // again: the running volume stage is not doubled
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);

  RemoveEffectChain();
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 1.0, 0.02);
  ApplyEffectChain();
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);

  // Opening again takes the chain off the old stream and builds it on the new one.
  OpenPaused();
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);
}

TEST_F(EffectPlaybackTest, TheLegacyVolumeIsTheChannelsOwnVolumeWithNoVolumeStage) {
  TheSettings().legacy_volume = true;
  OpenPaused();
  const Heard plain = Measure(PlayWholeFile());

  Press(AdjustCurrentParameter, -1, 25);  // 0.5
  float attribute = -1;
  ASSERT_TRUE(audio::GetAttribute(output_, audio::Attribute::kVolume, &attribute));
  EXPECT_NEAR(attribute, 0.25f, 1e-4);
  // Squared once: the channel's volume alone, no volume stage on top of it.
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);

  ThePlayerState().muted = true;
  AdjustCurrentParameter(+1);
  ASSERT_TRUE(audio::GetAttribute(output_, audio::Attribute::kVolume, &attribute));
  EXPECT_EQ(attribute, 0.0f);
  EXPECT_EQ(test::SoundFrames(PlayWholeFile()), 0);
  ThePlayerState().muted = false;
  SetEffectParameter(kParamVolume, 0.5f);

  // LegacyVolume switched off while playing (the Options dialog then rebuilds the chain): the
  // volume stage takes over and the channel's volume goes back to 1, so nothing is squared twice.
  TheSettings().legacy_volume = false;
  ApplyEffectChain();
  ASSERT_TRUE(audio::GetAttribute(output_, audio::Attribute::kVolume, &attribute));
  EXPECT_EQ(attribute, 1.0f);
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);
  // And on again: the stage goes, the channel carries the volume.
  TheSettings().legacy_volume = true;
  ApplyEffectChain();
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);

  // Opening again takes the chain off the old stream and builds it on the new one.
  OpenPaused();
  EXPECT_NEAR(Measure(PlayWholeFile()).rms / plain.rms, 0.25, 0.02);
}

TEST_F(EffectPlaybackTest, TempoAndRateOfALiveStreamAreStoredButNotApplied) {
  OpenPaused();
  ThePlayerState().is_live = true;  // as an internet radio would be
  SetEffectParameter(kParamTempo, 100);
  SetEffectParameter(kParamRate, 2);
  SetEffectParameter(kParamPitch, 12);
  EXPECT_FLOAT_EQ(TheSettings().playback_tempo, 100);
  EXPECT_FLOAT_EQ(TheSettings().playback_rate, 2);
  EXPECT_FLOAT_EQ(GetTempoProcessor().GetTempo(), 0);
  EXPECT_FLOAT_EQ(GetTempoProcessor().GetPitch(), 12);
  float frequency = 0;
  ASSERT_TRUE(audio::GetAttribute(output_, audio::Attribute::kFrequency, &frequency));
  EXPECT_FLOAT_EQ(frequency, 44100);
  ThePlayerState().is_live = false;
}

}  // namespace
}  // namespace kestrel
