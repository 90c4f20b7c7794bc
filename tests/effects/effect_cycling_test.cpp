#include "effects/effect_cycling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "effects/effect_parameter_table.h"
#include "effects/effect_parameters.h"
#include "effects/parameter_speech.h"
#include "effects/spoken_texts.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "storage/settings.h"

// The parameter keys without a channel: the cycle list, steps, ends, speech.
namespace kestrel {
namespace {

using Texts = std::vector<std::string>;

class EffectCyclingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllTranslations();
    SetLanguage("en");
    TheSettings() = Settings{};
    ThePlayerState() = PlayerState{};
    InitEffectParameterDefaults();
  }
  void TearDown() override { SetLanguage("en"); }

  // Makes `id` current through the keys: the list holds it once its effect is switched on.
  void MakeCurrent(int id) {
    SetCurrentEffectParameter(id);
    ASSERT_EQ(CurrentEffectParameter(), id);
  }

  test::SpokenTexts spoken_;
};

TEST_F(EffectCyclingTest, TheCycleListHoldsWhatIsSwitchedOnInIdOrder) {
  Settings& settings = TheSettings();
  EXPECT_EQ(BuildParameterCycleList(), std::vector<int>{0});  // only [Effects] Volume by default

  settings.effects_volume = false;
  settings.effects_tempo = true;
  settings.effects_rate = true;
  settings.reverb_algorithm = 2;  // DX8: 7-9, not Freeverb's 4-6 or I3DL2's 10-13
  settings.dsp_echo = true;
  settings.dsp_reverb = true;  // the flag alone does not decide the reverb
  settings.dsp_stereo_width = true;
  EXPECT_EQ(BuildParameterCycleList(), (std::vector<int>{2, 3, 7, 8, 9, 14, 15, 16, 26}));

  settings.reverb_algorithm = 0;
  settings.dsp_echo = false;
  settings.dsp_stereo_width = false;
  settings.dsp_spatial_audio = true;
  EXPECT_EQ(BuildParameterCycleList(), (std::vector<int>{2, 3, 30, 31, 32, 33, 34, 35, 36, 37}));
}

TEST_F(EffectCyclingTest, CyclingStopsAtBothEndsAndSpeaksTheParameter) {
  // Only Volume: both directions keep it and say its value.
  CycleCurrentParameter(+1);
  EXPECT_EQ(CurrentEffectParameter(), kParamVolume);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"Volume 100%"});
  CycleCurrentParameter(-1);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"Volume 100%"});

  TheSettings().effects_pitch = true;
  TheSettings().effects_rate = true;
  CycleCurrentParameter(+1);
  EXPECT_EQ(CurrentEffectParameter(), kParamPitch);
  CycleCurrentParameter(+1);
  CycleCurrentParameter(+1);  // no wrap-around past the end
  EXPECT_EQ(CurrentEffectParameter(), kParamRate);
  EXPECT_EQ(spoken_.TakeTexts(), (Texts{"Pitch +0 semitones", "Rate 1.00x", "Rate 1.00x"}));
  CycleCurrentParameter(-1);
  EXPECT_EQ(CurrentEffectParameter(), kParamPitch);

  // A current parameter no longer in the list: the first of the list, whichever the direction.
  TheSettings().effects_pitch = false;
  CycleCurrentParameter(+1);
  EXPECT_EQ(CurrentEffectParameter(), kParamVolume);
}

TEST_F(EffectCyclingTest, AnEmptyCycleListIsSaidWhenCyclingAndChangesNothingElse) {
  TheSettings().effects_volume = false;
  TheSettings().playback_volume = 0.5f;
  CycleCurrentParameter(+1);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"No parameters available"});
  AdjustCurrentParameter(+1);
  ResetCurrentParameter();
  SetCurrentParameterToMinimum();
  SetCurrentParameterToMaximum();
  EXPECT_TRUE(spoken_.TakeTexts().empty());
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamVolume), 0.5f);
}

TEST_F(EffectCyclingTest, UpAndDownStepAndStopAtTheEnds) {
  Settings& settings = TheSettings();
  settings.effects_pitch = settings.effects_tempo = settings.effects_rate = true;
  settings.dsp_echo = true;
  struct Case {
    int id;
    float from;
    int direction;
    float to;
    const char* said;
  };
  const Case cases[] = {
      {kParamVolume, 0.98f, +1, 1.0f, "Volume 100%"},
      {kParamVolume, 1.0f, +1, 1.0f, "Volume 100%"},  // no amplification: 1 is the top
      {kParamVolume, 0.01f, -1, 0.0f, "Volume 0%"},
      {kParamPitch, 11, +1, 12, "Pitch +12 semitones"},
      {kParamPitch, 12, +1, 12, "Pitch +12 semitones"},
      {kParamPitch, -12, -1, -12, "Pitch -12 semitones"},
      {kParamTempo, 195, +1, 200, "Tempo 200%"},
      {kParamTempo, -75, -1, -75, "Tempo -75%"},
      {kParamRate, 3.995f, +1, 4.0f, "Rate 4.00x"},
      {kParamRate, 0.25f, -1, 0.25f, "Rate 0.25x"},
      {14, 1990, +1, 2000, "Echo Delay 2000ms"},
      {15, 0, -1, 0, "Echo Feedback 0%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " from " << c.from << " by "
                                    << c.direction);
    SetEffectParameter(c.id, c.from);
    MakeCurrent(c.id);
    AdjustCurrentParameter(c.direction);
    EXPECT_NEAR(GetEffectParameter(c.id), c.to, 1e-5);
    EXPECT_EQ(spoken_.Take(), (std::vector<test::Utterance>{{c.said, true}}));
  }
}

TEST_F(EffectCyclingTest, TheVolumeStepsByVolumeStepAndGoesPastOneOnlyWithAmplification) {
  Settings& settings = TheSettings();
  settings.volume_step = 0.05f;
  settings.playback_volume = 0.5f;
  AdjustCurrentParameter(-1);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamVolume), 0.45f);

  settings.allow_amplify = true;
  settings.volume_step = 0.02f;
  settings.playback_volume = 1.0f;
  AdjustCurrentParameter(+1);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamVolume), 1.02f);
  EXPECT_EQ(spoken_.TakeTexts(), (Texts{"Volume 45%", "Volume 102%"}));
  SetCurrentParameterToMaximum();
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamVolume), 4.0f);
  // Amplification switched off: the maximum is 1 again.
  settings.allow_amplify = false;
  SetCurrentParameterToMaximum();
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamVolume), 1.0f);
  EXPECT_EQ(spoken_.TakeTexts(), (Texts{"Volume 400%", "Volume 100%"}));
}

TEST_F(EffectCyclingTest, ResetMinimumAndMaximumSetTheRowsValues) {
  Settings& settings = TheSettings();
  settings.effects_pitch = settings.effects_tempo = settings.effects_rate = true;
  settings.dsp_compressor = true;
  struct Case {
    int id;
    float start, reset, minimum, maximum;
  };
  const Case cases[] = {
      {kParamVolume, 0.3f, 1, 0, 1},
      {kParamPitch, 5, 0, -12, 12},
      {kParamTempo, 40, 0, -75, 200},
      {kParamRate, 2, 1, 0.25f, 4},
      {23, 100, 20, 0.01f, 500},  // Comp Attack
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    MakeCurrent(c.id);
    SetEffectParameter(c.id, c.start);
    ResetCurrentParameter();
    EXPECT_FLOAT_EQ(GetEffectParameter(c.id), c.reset);
    SetCurrentParameterToMinimum();
    EXPECT_FLOAT_EQ(GetEffectParameter(c.id), c.minimum);
    SetCurrentParameterToMaximum();
    EXPECT_FLOAT_EQ(GetEffectParameter(c.id), c.maximum);
    EXPECT_EQ(spoken_.TakeTexts().size(), 3u);
  }
}

TEST_F(EffectCyclingTest, TheRateStepsBySemitonesInRateStepModeOne) {
  TheSettings().effects_rate = true;
  TheSettings().rate_step_mode = 1;
  MakeCurrent(kParamRate);
  AdjustCurrentParameter(+1);
  EXPECT_NEAR(GetEffectParameter(kParamRate), 1.0594631, 1e-6);
  SetEffectParameter(kParamRate, 1.0f);
  AdjustCurrentParameter(-1);
  EXPECT_NEAR(GetEffectParameter(kParamRate), 1.0 / 1.0594631, 1e-6);
  EXPECT_EQ(spoken_.TakeTexts(), (Texts{"Rate 1.06x", "Rate 0.94x"}));
  SetEffectParameter(kParamRate, 3.9f);
  AdjustCurrentParameter(+1);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamRate), 4.0f);
}

TEST_F(EffectCyclingTest, TheRotationGoesRoundAndTheThreeDSwitchesFlip) {
  TheSettings().dsp_spatial_audio = true;
  struct Case {
    int id;
    float from;
    int direction;
    float to;
    const char* said;
  };
  const Case cases[] = {
      {kParamSpatialRotation, 180, +1, -175, "3D Rotation -175 deg"},
      {kParamSpatialRotation, -180, -1, 175, "3D Rotation 175 deg"},
      {kParamSpatialMode, 0, +1, 1, "3D Mode: 5.1 Surround"},
      {kParamSpatialMode, 0, -1, 1, "3D Mode: 5.1 Surround"},
      {kParamSpatialMode, 1, +1, 0, "3D Mode: Binaural"},
      {kParamSpatialRearCenter, 1, +1, 0, "3D Rear Speaker: Off"},
      {kParamSpatialRearCenter, 0, -1, 1, "3D Rear Speaker: On"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " from " << c.from);
    SetEffectParameter(c.id, c.from);
    MakeCurrent(c.id);
    AdjustCurrentParameter(c.direction);
    EXPECT_FLOAT_EQ(GetEffectParameter(c.id), c.to);
    EXPECT_EQ(spoken_.TakeTexts(), Texts{c.said});
  }
}

TEST_F(EffectCyclingTest, AnotherReverbAlgorithmMakesItsFirstParameterCurrentOnTheNextKey) {
  TheSettings().effects_volume = false;
  TheSettings().reverb_algorithm = 1;
  CycleCurrentParameter(+1);
  EXPECT_EQ(CurrentEffectParameter(), 4);  // Reverb Mix
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"Reverb Mix 30%"});

  TheSettings().reverb_algorithm = 2;
  AdjustCurrentParameter(+1);
  EXPECT_EQ(CurrentEffectParameter(), 7);  // DX8 Reverb Time
  EXPECT_FLOAT_EQ(GetEffectParameter(7), 1100);
  EXPECT_FLOAT_EQ(GetEffectParameter(4), 30);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"DX8 Reverb Time 1100ms"});
}

TEST_F(EffectCyclingTest, TempoAndRateOfALiveStreamAreNotAvailableButPitchIs) {
  Settings& settings = TheSettings();
  settings.effects_pitch = settings.effects_tempo = settings.effects_rate = true;
  ThePlayerState().is_live = true;
  for (const int id : {kParamTempo, kParamRate}) {
    SCOPED_TRACE(id);
    MakeCurrent(id);
    const float before = GetEffectParameter(id);
    AdjustCurrentParameter(+1);
    ResetCurrentParameter();
    SetCurrentParameterToMinimum();
    SetCurrentParameterToMaximum();
    EXPECT_FLOAT_EQ(GetEffectParameter(id), before);
    EXPECT_EQ(spoken_.TakeTexts(), Texts(4, "Not available for live streams"));
  }
  SetLanguage("fr");
  AdjustCurrentParameter(+1);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"Non disponible pour les flux en direct"});

  MakeCurrent(kParamPitch);
  AdjustCurrentParameter(+1);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamPitch), 1);
  EXPECT_EQ(spoken_.TakeTexts(), Texts{"Pitch +1 semitones"});  // names are never translated
}

TEST_F(EffectCyclingTest, ControlOneToFourPutStreamEffectsInTheListOrTakeThemOut) {
  TheSettings().playback_pitch = 3;
  ToggleStreamEffect(1);
  EXPECT_EQ(BuildParameterCycleList(), (std::vector<int>{0, 1}));
  ToggleStreamEffect(0);
  ToggleStreamEffect(3);
  EXPECT_EQ(BuildParameterCycleList(), (std::vector<int>{1, 3}));
  ToggleStreamEffect(1);
  ToggleStreamEffect(2);
  EXPECT_EQ(BuildParameterCycleList(), (std::vector<int>{2, 3}));
  ToggleStreamEffect(4);
  ToggleStreamEffect(-1);
  EXPECT_EQ(spoken_.Take(), (std::vector<test::Utterance>{{"Pitch enabled", true},
                                                         {"Volume disabled", true},
                                                         {"Rate enabled", true},
                                                         {"Pitch disabled", true},
                                                         {"Tempo enabled", true}}));
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamPitch), 3);  // the value stays
  EXPECT_EQ(CurrentEffectParameter(), kParamVolume);    // and so does the current parameter
}

TEST_F(EffectCyclingTest, WithEffectSpeechOffValuesChangeSilently) {
  TheSettings().speech_effect = false;
  TheSettings().effects_pitch = true;
  CycleCurrentParameter(+1);
  AdjustCurrentParameter(+1);
  ResetCurrentParameter();
  SetCurrentParameterToMaximum();
  EXPECT_EQ(CurrentEffectParameter(), kParamPitch);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamPitch), 12);
  EXPECT_TRUE(spoken_.TakeTexts().empty());
  // What is not a value is still said.
  ToggleStreamEffect(2);
  TheSettings().effects_volume = TheSettings().effects_pitch = TheSettings().effects_tempo = false;
  CycleCurrentParameter(+1);
  EXPECT_EQ(spoken_.TakeTexts(), (Texts{"Tempo enabled", "No parameters available"}));
}

TEST_F(EffectCyclingTest, ValuesAreSpokenInEachRowsForm) {
  struct Case {
    int id;
    float value;
    const char* text;
  };
  const Case cases[] = {
      {0, 0.85f, "Volume 85%"},         {0, 1.0f, "Volume 100%"},
      {0, 0.994f, "Volume 99%"},        {1, 2, "Pitch +2 semitones"},
      {1, 0, "Pitch +0 semitones"},     {18, -3, "EQ Bass -3dB"},
      {20, 15, "EQ Treble +15dB"},      {3, 1.25f, "Rate 1.25x"},
      {2, 25, "Tempo 25%"},             {14, 350, "Echo Delay 350ms"},
      {31, 45, "3D Width 45 deg"},      {22, 4, "Comp Ratio 4:1"},
      {11, 1.49f, "I3DL2 Decay 1s"},    {8, 0.7f, "DX8 HF Ratio 1"},
      {10, -1000, "I3DL2 Room -1000mB"}, {35, -3, "3D Listener X -3"},
      {33, 0.49f, "3D Mode: Binaural"}, {34, 0.5f, "3D Rear Speaker: On"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParameterValueText(c.id, c.value), c.text) << c.id;
  }
  EXPECT_EQ(ParameterValueText(38, 1), "");
}

TEST_F(EffectCyclingTest, TheSetterClampsStoresAndIgnoresWhatIsNotAParameter) {
  Settings& settings = TheSettings();
  SetEffectParameter(kParamVolume, 3.0f);  // no amplification
  EXPECT_FLOAT_EQ(settings.playback_volume, 1.0f);
  EXPECT_FLOAT_EQ(settings.effect_values[kParamVolume], 1.0f);  // the copy in the array
  SetEffectParameter(kParamTempo, -500);
  EXPECT_FLOAT_EQ(settings.playback_tempo, -75);
  SetEffectParameter(26, 1000);
  EXPECT_FLOAT_EQ(settings.effect_values[26], 200);
  EXPECT_FLOAT_EQ(GetEffectParameter(26), 200);

  SetEffectParameter(27, std::numeric_limits<float>::quiet_NaN());
  SetEffectParameter(27, std::numeric_limits<float>::infinity());
  EXPECT_FLOAT_EQ(GetEffectParameter(27), 0);
  SetEffectParameter(38, 1);
  SetEffectParameter(-1, 1);
  EXPECT_FLOAT_EQ(GetEffectParameter(38), 0);

  // Ids 0-3 read the playback values, not the array's copy.
  settings.playback_pitch = 7;
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamPitch), 7);
}

TEST_F(EffectCyclingTest, DefaultsFillTheArrayAndLeaveThePlaybackValues) {
  Settings& settings = TheSettings();
  settings.effect_values[14] = 999;
  settings.effect_values[kParamRate] = 2;
  settings.playback_rate = 2;
  settings.effects_pitch = true;
  MakeCurrent(kParamPitch);
  InitEffectParameterDefaults();
  EXPECT_FLOAT_EQ(settings.effect_values[14], 300);
  EXPECT_FLOAT_EQ(settings.effect_values[kParamRate], 1);
  EXPECT_FLOAT_EQ(settings.effect_values[kParamVolume], 1);
  EXPECT_FLOAT_EQ(GetEffectParameter(kParamRate), 2);  // loaded by the settings, kept
  EXPECT_EQ(CurrentEffectParameter(), kParamVolume);
}

}  // namespace
}  // namespace kestrel
