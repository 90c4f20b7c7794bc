#include "storage/ini_document.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

std::string Rewritten(std::string_view before, std::string_view section, std::string_view key,
                      std::string_view value) {
  IniDocument document = IniDocument::Parse(before);
  EXPECT_TRUE(document.Set(section, key, value));
  return document.Serialize();
}

TEST(IniDocument, WritingAKeyTouchesOnlyItsLine) {
  const std::string file =
      "; Kestrel settings\n"
      "[General]\n"
      "Language=en\n"
      "\n"
      "[Playback]\n"
      "; hand-written note\n"
      "Shuffle=0\n"
      "Unknown=keep me\n"
      "Volume=80\n"
      "\n"
      "[Mine]\n"
      "Anything=goes\n";
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  } cases[] = {
      {"Playback", "Shuffle", "1",
       "; Kestrel settings\n[General]\nLanguage=en\n\n[Playback]\n; hand-written note\nShuffle=1\n"
       "Unknown=keep me\nVolume=80\n\n[Mine]\nAnything=goes\n"},
      // A new key goes right after the section's last key, before its trailing blank line.
      {"Playback", "Pitch", "0.0",
       "; Kestrel settings\n[General]\nLanguage=en\n\n[Playback]\n; hand-written note\nShuffle=0\n"
       "Unknown=keep me\nVolume=80\nPitch=0.0\n\n[Mine]\nAnything=goes\n"},
      // A new section is appended after a blank line.
      {"Advanced", "BufferSize", "500",
       "; Kestrel settings\n[General]\nLanguage=en\n\n[Playback]\n; hand-written note\nShuffle=0\n"
       "Unknown=keep me\nVolume=80\n\n[Mine]\nAnything=goes\n\n[Advanced]\nBufferSize=500\n"},
      // Names match without regard to case; the file's spelling of the key stays.
      {"PLAYBACK", "volume", "100",
       "; Kestrel settings\n[General]\nLanguage=en\n\n[Playback]\n; hand-written note\nShuffle=0\n"
       "Unknown=keep me\nVolume=100\n\n[Mine]\nAnything=goes\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rewritten(file, c.section, c.key, c.value), c.expected) << c.section << "/" << c.key;
  }
}

TEST(IniDocument, NewFilesAndHeaderOnlySections) {
  EXPECT_EQ(Rewritten("", "Playback", "Shuffle", "1"), "[Playback]\nShuffle=1\n");
  EXPECT_EQ(Rewritten("[Empty]\n[Next]\nA=1\n", "Empty", "Key", "v"),
            "[Empty]\nKey=v\n[Next]\nA=1\n");
  // Keys before the first header belong to no section and are never matched.
  EXPECT_EQ(Rewritten("Shuffle=5\n", "Playback", "Shuffle", "1"),
            "Shuffle=5\n\n[Playback]\nShuffle=1\n");
}

TEST(IniDocument, ReadingTrimsBlanksAndOnePairOfQuotes) {
  const IniDocument document = IniDocument::Parse(
      "  [ Playback ]  \n"
      "  Volume  =   80   \n"
      "Name=\"  spaced  \"\n"
      "Single='x'\n"
      "Double=\"\"twice\"\"\n"
      "Unbalanced=\"open\n"
      "Mixed=\"a'\n"
      "Empty=\n"
      "Bare\n"
      "Equals=a=b\n"
      "Tabs=\tt\t\n");
  struct Case {
    const char* key;
    const char* expected;
  } cases[] = {
      {"Volume", "80"},
      {"volume", "80"},
      {" Volume ", "80"},
      {"Name", "  spaced  "},
      {"Single", "x"},
      {"Double", "\"twice\""},
      {"Unbalanced", "\"open"},
      {"Mixed", "\"a'"},
      {"Empty", ""},
      {"Bare", ""},
      {"Equals", "a=b"},
      {"Tabs", "t"},
  };
  for (const Case& c : cases) {
    auto value = document.Find("playback", c.key);
    ASSERT_TRUE(value.has_value()) << c.key;
    EXPECT_EQ(*value, c.expected) << c.key;
  }
  EXPECT_FALSE(document.Find("Playback", "Missing"));
  EXPECT_FALSE(document.Find("Missing", "Volume"));
}

TEST(IniDocument, TheFirstDuplicateWinsForReadingAndWriting) {
  const std::string file = "[A]\nKey=first\nkey=second\n[a]\nKey=third\nOther=x\n";
  IniDocument document = IniDocument::Parse(file);
  EXPECT_EQ(document.Find("A", "KEY"), "first");
  EXPECT_FALSE(document.Find("A", "Other"));  // the second [a] is shadowed
  ASSERT_TRUE(document.Set("a", "KEY", "new"));
  EXPECT_EQ(document.Serialize(), "[A]\nKey=new\nkey=second\n[a]\nKey=third\nOther=x\n");
}

TEST(IniDocument, ValuesThatWouldNotReadBackAreQuoted) {
  for (const char* value :
       {" lead", "trail ", "\"quoted\"", "'single'", "\t", "plain", "", "a \"b\" c"}) {
    IniDocument document;
    ASSERT_TRUE(document.Set("S", "K", value));
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    EXPECT_EQ(reread.Find("S", "K"), value) << '[' << value << ']';
  }
  EXPECT_EQ(Rewritten("", "S", "K", "plain"), "[S]\nK=plain\n");
}

TEST(IniDocument, RefusesWhatCannotBeWrittenAsOneLine) {
  const std::string file = "[S]\nK=old\n";
  struct Case {
    std::string section, key, value;
  } cases[] = {
      {"S", "K", "two\nlines"}, {"S", "K", "cr\rhere"}, {"S", "K", std::string("nul\0x", 5)},
      {"", "K", "v"},           {"  ", "K", "v"},       {"S\n", "K", "v"},
      {"S", "", "v"},           {"S", "A=B", "v"},      {"S", ";K", "v"},
      {"S", "#K", "v"},         {"S", "[K", "v"},
  };
  for (const Case& c : cases) {
    IniDocument document = IniDocument::Parse(file);
    EXPECT_FALSE(document.Set(c.section, c.key, c.value)) << c.section << "/" << c.key;
    EXPECT_EQ(document.Serialize(), file);
  }
}

TEST(IniDocument, ClearingASectionKeepsItsHeader) {
  IniDocument document = IniDocument::Parse(
      "[RecentFiles]\nFile0=a\n; note\nFile1=b\n\n[Other]\nX=1\n[recentfiles]\nFile9=z\n");
  document.ClearSection("RECENTFILES");
  EXPECT_EQ(document.Serialize(), "[RecentFiles]\n; note\n\n[Other]\nX=1\n[recentfiles]\n");
  EXPECT_TRUE(document.HasSection("RecentFiles"));
  EXPECT_FALSE(document.Find("RecentFiles", "File0"));
  ASSERT_TRUE(document.Set("RecentFiles", "File0", "c"));
  EXPECT_EQ(document.Serialize(),
            "[RecentFiles]\nFile0=c\n; note\n\n[Other]\nX=1\n[recentfiles]\n");
}

TEST(IniDocument, DeletingASectionRemovesHeaderAndKeys) {
  IniDocument document = IniDocument::Parse(
      "[Presets]\nCount=2\n\n[Preset_Loud]\nPitch=1.0\n; why loud\nTempo=0.0\n\n"
      "[Preset_Soft]\nPitch=0.0\n[preset_loud]\nPitch=9\n");
  document.DeleteSection("preset_LOUD");
  EXPECT_FALSE(document.HasSection("Preset_Loud"));
  EXPECT_EQ(document.Serialize(), "[Presets]\nCount=2\n\n; why loud\n[Preset_Soft]\nPitch=0.0\n");
  document.DeleteSection("Absent");  // nothing to do
  EXPECT_EQ(document.Find("Preset_Soft", "Pitch"), "0.0");
}

TEST(IniDocument, KeepsByteOrderMarkAndLineEnds) {
  const std::string crlf = "\xEF\xBB\xBF[Playback]\r\nShuffle=0\r\n\r\n[Other]\r\nX=1\r\n";
  IniDocument document = IniDocument::Parse(crlf);
  EXPECT_TRUE(document.has_byte_order_mark());
  EXPECT_TRUE(document.uses_crlf());
  EXPECT_EQ(document.Find("Playback", "Shuffle"), "0");
  ASSERT_TRUE(document.Set("Playback", "Shuffle", "1"));
  ASSERT_TRUE(document.Set("New", "K", "v"));
  EXPECT_EQ(document.Serialize(),
            "\xEF\xBB\xBF[Playback]\r\nShuffle=1\r\n\r\n[Other]\r\nX=1\r\n\r\n[New]\r\nK=v\r\n");

  EXPECT_EQ(Rewritten("[S]\nK=1\n", "S", "K", "2"), "[S]\nK=2\n");
  EXPECT_FALSE(IniDocument::Parse("[S]\nK=1\n").uses_crlf());
}

TEST(IniDocument, SurvivesHostileInput) {
  const std::string huge_value(4 << 20, 'x');
  const std::string nul_line("Nul=a\0b\n", 8);
  const std::string file =
      "[S]\nHuge=" + huge_value + "\n" + nul_line +
      "[Broken\nStill=in S\n]odd[\n==\n=value only\n\r\r\n[T]\nLast=no newline";
  IniDocument document = IniDocument::Parse(file);
  EXPECT_EQ(document.Find("S", "Huge")->size(), huge_value.size());
  EXPECT_EQ(document.Find("S", "Nul"), std::string("a\0b", 3));
  EXPECT_EQ(document.Find("S", "Still"), "in S");  // a header without "]" opens no section
  EXPECT_FALSE(document.HasSection("Broken"));
  EXPECT_EQ(document.Find("T", "Last"), "no newline");

  ASSERT_TRUE(document.Set("T", "Added", "1"));
  ASSERT_TRUE(document.Set("S", "Still", "changed"));
  const std::string expected = "[S]\nHuge=" + huge_value + "\n" + nul_line +
                               "[Broken\nStill=changed\n]odd[\n==\n=value only\n\n[T]\n"
                               "Last=no newline\nAdded=1\n";
  EXPECT_EQ(document.Serialize(), expected);
  // Parsing what we wrote gives the same document again.
  EXPECT_EQ(IniDocument::Parse(expected).Serialize(), expected);
}

TEST(IniDocument, SectionNamesMayHoldBrackets) {
  IniDocument document;
  ASSERT_TRUE(document.Set("Preset_[My] mix", "Pitch", "1.0"));
  EXPECT_EQ(document.Serialize(), "[Preset_[My] mix]\nPitch=1.0\n");
  EXPECT_EQ(IniDocument::Parse(document.Serialize()).Find("preset_[my] MIX", "Pitch"), "1.0");
}

TEST(IniDocument, EntriesListTheKeysOfTheFirstSectionAsFindSeesThem) {
  const IniDocument document = IniDocument::Parse(
      "[Presets]\n; note\n Count = 2 \nName0=\"A b\"\nname0=dup\nloose\n\n"
      "[presets]\nName1=in the second header\n");
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Count", "2"}, {"Name0", "A b"}, {"loose", ""}};
  EXPECT_EQ(document.Entries("PRESETS"), expected);
  EXPECT_TRUE(document.Entries("Missing").empty());
}

TEST(IniDocument, EraseRemovesEveryLineOfTheKeyAndNothingElse) {
  IniDocument document = IniDocument::Parse(
      "[Presets]\nName0=a\n; keep\nname0=b\nName1=c\n\n[Other]\nName0=x\n[PRESETS]\nName0=d\n");
  EXPECT_TRUE(document.Erase("presets", "NAME0"));
  EXPECT_EQ(document.Serialize(),
            "[Presets]\n; keep\nName1=c\n\n[Other]\nName0=x\n[PRESETS]\n");
  EXPECT_FALSE(document.Erase("Presets", "Name0"));
  EXPECT_FALSE(document.Erase("Missing", "Name1"));
  // The section still takes new keys in the right place.
  ASSERT_TRUE(document.Set("Presets", "Name2", "e"));
  EXPECT_EQ(document.Serialize(),
            "[Presets]\n; keep\nName1=c\nName2=e\n\n[Other]\nName0=x\n[PRESETS]\n");
}

TEST(IniDocument, OnlyValuesWithoutLineBreaksOrNulCanBeHeld) {
  EXPECT_TRUE(IniDocument::CanHoldValue("plain = \"quoted\" ; text"));
  EXPECT_TRUE(IniDocument::CanHoldValue(""));
  EXPECT_FALSE(IniDocument::CanHoldValue("a\nb"));
  EXPECT_FALSE(IniDocument::CanHoldValue("a\rb"));
  EXPECT_FALSE(IniDocument::CanHoldValue(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace kestrel
