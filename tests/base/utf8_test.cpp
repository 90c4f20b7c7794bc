#include "base/utf8.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Utf8, AcceptsWellFormedAndRejectsMalformedSequences) {
  struct Case {
    std::string text;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain ascii", true},
      {"caf\xC3\xA9", true},                // é
      {"\xE2\x82\xAC", true},               // €
      {"\xF0\x9F\x8E\xB5", true},           // musical note, 4 bytes
      {"\xC3", false},                      // truncated
      {"\xC0\xAF", false},                  // overlong '/'
      {"\xE0\x80\xAF", false},              // overlong, 3 bytes
      {"\xED\xA0\x80", false},              // UTF-16 surrogate
      {"\xF4\x90\x80\x80", false},          // above U+10FFFF
      {"\x80", false},                      // lone continuation
      {"ok\xFFok", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

TEST(Utf8, ComparesAsciiWithoutRegardToCase) {
  EXPECT_TRUE(EqualsIgnoreAsciiCase("Playback", "PLAYBACK"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("Playback", "Playbac"));
  EXPECT_EQ(AsciiLower("MiXeD 1"), "mixed 1");
}

}  // namespace
}  // namespace kestrel
