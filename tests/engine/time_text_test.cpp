#include "engine/time_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestrel {
namespace {

TEST(TimeTextTest, MinutesBelowAnHourHoursFromAnHourSecondsTruncated) {
  struct Case {
    double seconds;
    const char* text;
  };
  const Case cases[] = {
      {0, "0:00"},
      {0.999, "0:00"},
      {9.99, "0:09"},
      {61.5, "1:01"},
      {3599.999, "59:59"},
      {3600, "1:00:00"},
      {5025, "1:23:45"},
      {36000 + 61, "10:01:01"},
      {360000, "100:00:00"},
      {-5, "0:00"},
      {std::numeric_limits<double>::quiet_NaN(), "0:00"},
      {-std::numeric_limits<double>::infinity(), "0:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeText(c.seconds), c.text) << c.seconds;
}

}  // namespace
}  // namespace kestrel
