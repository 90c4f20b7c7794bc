#include "storage/setting_rows.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "french_locale.h"
#include "storage/ini_values.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

// A record with one field of every kind the settings table uses.
struct Fake {
  bool flag = false;
  int count = 0;
  int mode = 0;
  int delay = 0;
  int raw = 0;
  float pitch = 0;
  double rate = 0;
  float freq = 0;
  double gain = 0;
  float volume = 0;
  float step = 0;
  std::string name;
  std::string path;
};

constexpr SettingRow<Fake> kFakeRows[] = {
    BoolRow("Test", "Flag", &Fake::flag, true),
    IntRow("Test", "Count", &Fake::count, 500, ClampTo(100, 5000)),
    IntRow("Test", "Mode", &Fake::mode, 0, ElseDefault(0, 2)),
    IntRow("Test", "Delay", &Fake::delay, 0, AtLeast(0)),
    IntRow("Test", "Raw", &Fake::raw, 7),
    FloatRow("Test", "Pitch", &Fake::pitch, 0, ClampTo(-12, 12), 1),
    FloatRow("Test", "Rate", &Fake::rate, 1.0, ClampTo(0.25, 4), 2),
    FloatRow("Test", "Freq", &Fake::freq, 50, NotClamped(), 1),
    FloatRow("Other", "Gain", &Fake::gain, 0, NotClamped(), 2),
    PercentRow("Test", "Volume", &Fake::volume, 100, ClampTo(0, 1)),
    PercentRow("Test", "Step", &Fake::step, 2, ClampTo(0.01, 0.25)),
    TextRow("Test", "Name", &Fake::name, 7),
    TextRow("Test", "Path", &Fake::path, 20, "default/path"),
};

const SettingRow<Fake>& RowFor(std::string_view key) {
  for (const auto& row : kFakeRows) {
    if (row.key == key) return row;
  }
  throw std::logic_error("no such fake row");
}

// Loads the key from a file holding `line` (or nothing) and gives the field in its written form.
std::string LoadedForm(std::string_view key, const char* value) {
  const auto& row = RowFor(key);
  std::string file = "[" + std::string(row.section) + "]\n";
  if (value) file += std::string(key) + "=" + value + "\n";
  Fake record;
  LoadSettingRows(IniDocument::Parse(file), kFakeRows, record);
  return WrittenForm(row, record);
}

TEST(SettingRows, LoadingAppliesDefaultsAndTheAcceptedRanges) {
  struct Case {
    const char* key;
    const char* value;  // nullptr: the key is missing
    const char* expected;
  } cases[] = {
      // bool: any non-zero integer is true
      {"Flag", nullptr, "1"},
      {"Flag", "0", "0"},
      {"Flag", "5", "1"},
      {"Flag", "-1", "1"},
      {"Flag", "yes", "0"},
      {"Flag", "", "0"},
      {"Flag", " 1 ", "1"},
      {"Flag", "0x1", "0"},
      // int clamped, int with out-of-range -> default, int at least 0, int not clamped
      {"Count", nullptr, "500"},
      {"Count", "50", "100"},
      {"Count", "9999", "5000"},
      {"Count", "250ms", "250"},
      {"Count", "", "100"},
      {"Mode", "3", "0"},
      {"Mode", "-1", "0"},
      {"Mode", "2", "2"},
      {"Mode", nullptr, "0"},
      {"Delay", "-5", "0"},
      {"Delay", "70000", "70000"},
      {"Raw", "-99", "-99"},
      {"Raw", nullptr, "7"},
      {"Raw", "99999999999", "2147483647"},
      // float: clamped, leading number, and never a NaN or infinity
      {"Pitch", "13", "12.0"},
      {"Pitch", "-12.5", "-12.0"},
      {"Pitch", "3.5", "3.5"},
      {"Pitch", "nan", "0.0"},
      {"Pitch", "inf", "0.0"},
      {"Pitch", "-infinity", "0.0"},
      {"Rate", nullptr, "1.00"},
      {"Rate", "", "0.25"},
      {"Rate", "1.5x", "1.50"},
      {"Rate", "125,5", "4.00"},
      {"Rate", "NAN", "1.00"},
      {"Freq", "12000", "12000.0"},
      {"Freq", "-3", "-3.0"},
      {"Freq", "1e300", "50.0"},  // beyond what the float field holds
      {"Freq", "1e999", "50.0"},
      // percent: held as a fraction, written back as a whole percent
      {"Volume", nullptr, "100"},
      {"Volume", "150", "100"},
      {"Volume", "-5", "0"},
      {"Volume", "55.9", "55"},
      {"Step", "-3", "1"},
      {"Step", "40", "25"},
      {"Step", "5", "5"},
      // text: cut to its length, quotes dropped, default only when missing
      {"Name", "abcdefghij", "abcdefg"},
      {"Name", "\"fr\"", "fr"},
      {"Name", nullptr, ""},
      {"Path", nullptr, "default/path"},
      {"Path", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadedForm(c.key, c.value), c.expected)
        << c.key << "=" << (c.value ? c.value : "(missing)");
  }
}

TEST(SettingRows, PercentsAreHeldAsFractions) {
  Fake record;
  LoadSettingRows(IniDocument::Parse("[Test]\nVolume=55\nStep=5\n"), kFakeRows, record);
  EXPECT_FLOAT_EQ(record.volume, 0.55f);
  EXPECT_FLOAT_EQ(record.step, 0.05f);
}

TEST(SettingRows, SavingWritesEveryKeyInItsFormAndKeepsTheRest) {
  Fake record;
  record.flag = false;
  record.count = 1234;
  record.mode = 2;
  record.delay = 0;
  record.raw = -4;
  record.pitch = -1.25f;
  record.rate = 1.155;
  record.freq = 12000;
  record.gain = 125.5;
  record.volume = 0.58f;
  record.step = 0.02f;
  record.name = "fr";
  record.path = " spaced ";

  IniDocument document =
      IniDocument::Parse("; keep\n[Test]\nFlag=1\nUnknown=x\n\n[Hotkeys]\nCount=0\n");
  ASSERT_TRUE(SaveSettingRows(document, kFakeRows, record));
  EXPECT_EQ(document.Serialize(),
            "; keep\n[Test]\nFlag=0\nUnknown=x\nCount=1234\nMode=2\nDelay=0\nRaw=-4\nPitch=-1.2\n"
            "Rate=1.16\nFreq=12000.0\nVolume=58\nStep=2\nName=fr\nPath=\" spaced \"\n\n"
            "[Hotkeys]\nCount=0\n\n[Other]\nGain=125.50\n");

  // What was saved loads back to the same values.
  Fake reloaded;
  LoadSettingRows(IniDocument::Parse(document.Serialize()), kFakeRows, reloaded);
  for (const auto& row : kFakeRows) {
    EXPECT_EQ(WrittenForm(row, reloaded), WrittenForm(row, record)) << row.key;
  }
  EXPECT_EQ(reloaded.path, " spaced ");
}

TEST(SettingRows, AWrittenFormCanComeFromElsewhere) {
  constexpr SettingRow<Fake> rows[] = {
      WrittenAs(TextRow("Test", "Name", &Fake::name, 7),
                [](const Fake&) { return std::string("en"); }),
  };
  Fake record;
  record.name = "";
  IniDocument document;
  ASSERT_TRUE(SaveSettingRows(document, rows, record));
  EXPECT_EQ(document.Find("Test", "Name"), "en");
}

TEST(SettingRows, AValueThatCannotBeWrittenIsReportedAndSkipped) {
  Fake record;
  record.name = "two\nlines";
  IniDocument document = IniDocument::Parse("[Test]\nName=old\n");
  EXPECT_FALSE(SaveSettingRows(document, kFakeRows, record));
  EXPECT_EQ(document.Find("Test", "Name"), "old");
  EXPECT_EQ(document.Find("Test", "Count"), "0");  // the other rows are written
}

// ---- Two running copies saving the same file.

struct Copy {
  Fake record;
  std::vector<LoadedSetting> snapshot;

  void Load(const std::string& file) {
    const IniDocument document = IniDocument::Parse(file);
    LoadSettingRows(document, kFakeRows, record);
    snapshot = SnapshotSettingRows(document, kFakeRows, record);
  }
  std::string Save(const std::string& file) {
    IniDocument document = IniDocument::Parse(file);
    std::vector<LoadedSetting> next;
    EXPECT_TRUE(MergeSettingRows(document, kFakeRows, record, snapshot, next));
    snapshot = std::move(next);
    return document.Serialize();
  }
};

TEST(SettingRows, ASaveKeepsWhatAnotherCopyChangedSinceLoad) {
  std::string file = "[Test]\nCount=200\nMode=0\nFlag=1\nUnknown=kept\n";
  Copy a, b;
  a.Load(file);
  b.Load(file);

  a.record.count = 300;
  file = a.Save(file);
  b.record.mode = 2;
  file = b.Save(file);  // b never saw Count=300 and must not put 200 back

  IniDocument result = IniDocument::Parse(file);
  EXPECT_EQ(result.Find("Test", "Count"), "300");
  EXPECT_EQ(result.Find("Test", "Mode"), "2");
  EXPECT_EQ(result.Find("Test", "Unknown"), "kept");

  // b saving again (at exit) still leaves a's value alone...
  file = b.Save(file);
  EXPECT_EQ(IniDocument::Parse(file).Find("Test", "Count"), "300");
  // ...until b itself changes it: the last change wins.
  b.record.count = 400;
  file = b.Save(file);
  EXPECT_EQ(IniDocument::Parse(file).Find("Test", "Count"), "400");
}

TEST(SettingRows, ASaveRewritesHandEditedValuesNobodyChanged) {
  std::string file = "[Test]\nCount=50\nFlag=7\nPitch=nan\n";
  Copy a;
  a.Load(file);
  file = a.Save(file);
  const IniDocument result = IniDocument::Parse(file);
  EXPECT_EQ(result.Find("Test", "Count"), "100");
  EXPECT_EQ(result.Find("Test", "Flag"), "1");
  EXPECT_EQ(result.Find("Test", "Pitch"), "0.0");
  EXPECT_EQ(result.Find("Test", "Rate"), "1.00");  // missing keys are written too
}

// ---- Numbers stay locale-free under a French locale.

TEST(SettingRows, NumbersIgnoreAFrenchLocale) {
  test::FrenchLocale french;
  if (!french.active()) GTEST_SKIP() << "fr_FR.UTF-8 is neither installed nor buildable here";
  EXPECT_EQ(FormatFixed(125.5, 2), "125.50");
  EXPECT_DOUBLE_EQ(ParseLeadingFraction("125.50"), 125.5);

  Fake record;
  record.gain = 125.5;
  record.pitch = -1.5f;
  IniDocument document;
  ASSERT_TRUE(SaveSettingRows(document, kFakeRows, record));
  EXPECT_EQ(document.Find("Other", "Gain"), "125.50");
  EXPECT_EQ(document.Find("Test", "Pitch"), "-1.5");

  Fake reloaded;
  LoadSettingRows(IniDocument::Parse("[Other]\nGain=125.50\n[Test]\nRate=1.75\n"), kFakeRows,
                  reloaded);
  EXPECT_DOUBLE_EQ(reloaded.gain, 125.5);
  EXPECT_DOUBLE_EQ(reloaded.rate, 1.75);
}

}  // namespace
}  // namespace kestrel
