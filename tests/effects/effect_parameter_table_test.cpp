#include "effects/effect_parameter_table.h"

#include <gtest/gtest.h>

#include <variant>

#include "storage/settings.h"
#include "storage/settings_table.h"

namespace kestrel {
namespace {

class EffectParameterTableTest : public ::testing::Test {
 protected:
  void SetUp() override { TheSettings() = Settings{}; }
};

// Rows whose numbers the keys depend on: the stream effects, a reverb row of each algorithm, and
// the rows with unusual steps or units.
TEST_F(EffectParameterTableTest, RowsThatMatterCarryTheirRangesStepsAndDefaults) {
  struct Expected {
    int id;
    std::string_view name, unit;
    float min, max, step, default_value;
    int group;
  };
  const Expected rows[] = {
      {0, "Volume", "%", 0, 4, 0.02f, 1, -1},
      {1, "Pitch", " semitones", -12, 12, 1, 0, -1},
      {2, "Tempo", "%", -75, 200, 5, 0, -1},
      {3, "Rate", "x", 0.25f, 4, 0.01f, 1, -1},
      {4, "Reverb Mix", "%", 0, 100, 5, 30, 0},
      {8, "DX8 HF Ratio", "", 0.001f, 0.999f, 0.1f, 0.5f, 0},
      {10, "I3DL2 Room", "mB", -10000, 0, 500, -1000, 0},
      {11, "I3DL2 Decay", "s", 0.1f, 20, 0.5f, 1.49f, 0},
      {14, "Echo Delay", "ms", 10, 2000, 50, 300, 1},
      {22, "Comp Ratio", ":1", 1, 20, 1, 4, 3},
      {23, "Comp Attack", "ms", 0.01f, 500, 10, 20, 3},
      {27, "Center Cancel", "%", -100, 100, 10, 0, 5},
      {31, "3D Width", " deg", 15, 90, 5, 45, 7},
      {34, "3D Rear Speaker", "", 0, 1, 1, 1, 7},
      {37, "3D Listener Z", "", -50, 50, 1, 0, 7},
  };
  for (const Expected& e : rows) {
    SCOPED_TRACE(e.id);
    const EffectParameter* row = FindEffectParameter(e.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, e.name);
    EXPECT_EQ(row->unit, e.unit);
    EXPECT_FLOAT_EQ(row->minimum, e.min);
    EXPECT_FLOAT_EQ(row->maximum, e.max);
    EXPECT_FLOAT_EQ(row->step, e.step);
    EXPECT_FLOAT_EQ(row->default_value, e.default_value);
    EXPECT_EQ(row->group, e.group);
  }
  EXPECT_EQ(FindEffectParameter(-1), nullptr);
  EXPECT_EQ(FindEffectParameter(38), nullptr);
}

TEST_F(EffectParameterTableTest, EveryRowSwitchesWithItsOwnEffect) {
  for (const EffectParameter& row : EffectParameterTable()) {
    SCOPED_TRACE(row.id);
    if (row.group == kStreamEffectGroup) {
      EXPECT_EQ(row.switch_flag, kStreamEffectSwitches[row.id]);
      EXPECT_NE(row.live_value, nullptr);
    } else if (row.group == kReverbGroup) {
      const int kind = row.id <= 6 ? 1 : row.id <= 9 ? 2 : 3;
      EXPECT_EQ(row.reverb_kind, kind);
      EXPECT_EQ(row.live_value, nullptr);
    } else {
      EXPECT_EQ(row.switch_flag, kDspEffectFlags[row.group]);
      EXPECT_EQ(row.live_value, nullptr);
    }
  }
  EXPECT_EQ(FindEffectParameter(0)->live_value, &Settings::playback_volume);
  EXPECT_EQ(FindEffectParameter(3)->live_value, &Settings::playback_rate);
}

// The settings file loads [DSPParams] and the playback values with clamps of its own: they must
// be the parameters' ranges and defaults, or a loaded value could lie where no key can reach.
TEST_F(EffectParameterTableTest, TheSettingsFileLoadsEveryParameterWithinTheSameRange) {
  const EffectValues defaults = DefaultEffectValues();
  int checked = 0;
  for (const SettingRow<Settings>& setting : EffectSettingsTable()) {
    const auto* slot = std::get_if<FloatSlot<Settings>>(&setting.field);
    if (!slot) continue;
    SCOPED_TRACE(setting.key);
    const EffectParameter* row = FindEffectParameter(static_cast<int>(slot->index));
    ASSERT_NE(row, nullptr);
    EXPECT_FLOAT_EQ(static_cast<float>(setting.rule.limits.min), row->minimum);
    EXPECT_FLOAT_EQ(static_cast<float>(setting.rule.limits.max), row->maximum);
    EXPECT_FLOAT_EQ(static_cast<float>(setting.rule.default_number), row->default_value);
    EXPECT_FLOAT_EQ(defaults[slot->index].load(), row->default_value);
    ++checked;
  }
  EXPECT_EQ(checked, kEffectParameterCount - kStreamEffectCount);
  for (int id = 0; id < kStreamEffectCount; ++id) {
    EXPECT_FLOAT_EQ(defaults[id].load(), FindEffectParameter(id)->default_value) << id;
  }
}

TEST_F(EffectParameterTableTest, TheVolumeTakesItsMaximumAndStepFromThePlaybackSettings) {
  const EffectParameter& volume = *FindEffectParameter(kParamVolume);
  EXPECT_FLOAT_EQ(ParameterMaximum(volume), 1.0f);
  TheSettings().allow_amplify = true;
  EXPECT_FLOAT_EQ(ParameterMaximum(volume), 4.0f);
  TheSettings().volume_step = 0.05f;
  EXPECT_FLOAT_EQ(ParameterStep(volume), 0.05f);
  // Other rows keep the table's.
  EXPECT_FLOAT_EQ(ParameterStep(*FindEffectParameter(kParamRate)), 0.01f);
  EXPECT_FLOAT_EQ(ParameterMaximum(*FindEffectParameter(kParamRate)), 4.0f);
}

}  // namespace
}  // namespace kestrel
