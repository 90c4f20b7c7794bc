#include "storage/ini_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace kestrel {
namespace {

TEST(IniValues, IntegersFollowTheLeadingNumberRules) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"42", 42},
      {"  -17", -17},
      {"\t+8", 8},
      {"12abc", 12},
      {"3.9", 3},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"+-5", 0},
      {"- 5", 0},
      {"0x1F", 0},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},
      {"99999999999999999999999999", INT_MAX},
      {"-99999999999999999999999999", INT_MIN},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseLeadingInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(IniValues, FractionsFollowTheLeadingNumberRules) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"125.50", 125.5},   {" -0.25", -0.25}, {"+1.5", 1.5},  {"1.5x", 1.5},
      {"125,50", 125.0},  // a comma ends the number, as in the C locale
      {".5", 0.5},         {"5.", 5.0},       {"1e2", 100.0}, {"1e", 1.0},
      {"2.5e-1kHz", 0.25}, {"0x10", 16.0},    {"0x", 0.0},    {"abc", 0.0},
      {"", 0.0},           {"+-1", 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ParseLeadingFraction(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(IniValues, NonNumbersAndHugeNumbersAreNotFinite) {
  for (const char* text :
       {"nan", "NaN", "-nan", "inf", "-inf", "infinity", "INF", "1e999", "-1e999"}) {
    EXPECT_FALSE(std::isfinite(ParseLeadingFraction(text))) << text;
  }
}

TEST(IniValues, FixedFormattingMatchesPrintf) {
  struct Case {
    double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {125.5, 2, "125.50"},
      {1.0, 1, "1.0"},
      {-12.0, 1, "-12.0"},
      {0.5, 3, "0.500"},
      {0.125, 2, "0.12"},
      {0.135, 2, "0.14"},
      {1e20, 1, "100000000000000000000.0"},
      {-0.04, 1, "-0.0"},
      {3.7, 0, "4"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected);
    char printf_form[64];
    std::snprintf(printf_form, sizeof printf_form, "%.*f", c.decimals, c.value);
    EXPECT_EQ(FormatFixed(c.value, c.decimals), printf_form);
  }
  EXPECT_EQ(FormatInt(-42), "-42");
}

TEST(IniValues, CuttingCountsCharactersNotBytes) {
  EXPECT_EQ(CutToCharacters("abcdefghij", 7), "abcdefg");
  EXPECT_EQ(CutToCharacters("abc", 7), "abc");
  EXPECT_EQ(CutToCharacters("", 3), "");
  EXPECT_EQ(CutToCharacters("éàüöç", 3), "éàü");                             // two bytes each
  EXPECT_EQ(CutToCharacters("a\xF0\x9F\x8E\xB5z", 2), "a\xF0\x9F\x8E\xB5");  // a four-byte one
  // A broken sequence is cut byte by byte and never read past the end.
  EXPECT_EQ(CutToCharacters("\xE2\x82", 1), "\xE2");
  EXPECT_EQ(CutToCharacters("\xFF\xFEx", 2), "\xFF\xFE");
}

}  // namespace
}  // namespace kestrel
