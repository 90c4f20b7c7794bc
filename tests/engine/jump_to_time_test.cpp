#include "engine/jump_to_time.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

TEST(ParseJumpTimeTest, ReadsHoursMinutesSecondsThenMinutesSecondsThenSeconds) {
  struct Case {
    std::string text;
    double seconds;
  };
  const Case cases[] = {
      // The three forms, tried in this order.
      {"1:23:45", 5025},
      {"1:02:03", 3723},
      {"0:00:00", 0},
      {"1:30", 90},
      {"0:00", 0},
      {"90", 90},
      {"75.5", 75.5},
      {".5", 0.5},
      {"1e2", 100},
      // Fields are not limited to their clock range, as typed.
      {"0:90", 90},
      {"2:75:00", 2 * 3600 + 75 * 60},
      // Blanks before numbers, a sign, and whatever follows the last number.
      {"  1:30", 90},
      {"1: 30", 90},
      {"+90", 90},
      {"1:30 min", 90},
      {"1:30:", 90},
      {"1:2:3:4", 3723},
      {"12abc", 12},
      {"1.5:30", 1.5},  // not minutes: the decimal form reads 1.5
      // Garbage.
      {"", -1},
      {"abc", -1},
      {":30", -1},
      {"1 :30", 1},  // a blank before ':' ends the clock forms
      {"+-5", -1},
      {".", -1},
      {"inf", -1},
      {"nan", -1},
      {"1e400", -1},
      // Negatives come back negative; the dialog ignores them.
      {"-5", -5},
      {"-1:30", -30},
      {"-0:30", 30},  // minus zero minutes is zero
      // Overflow of a whole number: that form does not match, the next one reads on.
      {"99999999999", 99999999999.0},
      {"99999999999:00", 99999999999.0},
      {"2147483647:00:00", 2147483647.0 * 3600},
      {"1:2147483648", 1},  // minutes:seconds cannot read the seconds; the decimal reads 1
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(ParseJumpTime(c.text), c.seconds) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kestrel
