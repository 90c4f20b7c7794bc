#include "net/body_text.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(BodyTextTest, KeepsUtf8AndReplacesWhatIsNot) {
  struct Case {
    std::string body;
    std::string text;
  };
  const Case cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"caf\xC3\xA9 \xF0\x9F\x8E\xB5", "caf\xC3\xA9 \xF0\x9F\x8E\xB5"},
      {"caf\xE9!", "caf\xEF\xBF\xBD!"},                      // ISO-8859-1 é
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},              // overlong
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
      {"end\xE2\x82", "end\xEF\xBF\xBD\xEF\xBF\xBD"},        // cut sequence
      {std::string("abc\0def", 7), "abc"},                  // ends at the first NUL
  };
  for (const Case& c : cases) EXPECT_EQ(BodyToText(c.body), c.text) << c.body;
}

}  // namespace
}  // namespace kestrel
