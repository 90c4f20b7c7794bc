#pragma once

#include <string_view>

// What the user types into the jump-to-time field, read as a position in seconds.
namespace kestrel {

// Tries, in this order: "h:m:s" (h × 3600 + m × 60 + s), "m:s" (m × 60 + s), then a plain
// decimal number of seconds ("75.5"). Each number may have leading blanks and a sign; whatever
// follows the last number read is ignored ("1:30 min" is 90). A whole number too large for an
// int does not match its pattern; "inf", "nan" and decimals beyond a double's range are no
// number. Returns -1 when nothing matches. The result may be negative ("-5"); callers ignore
// values below 0.
double ParseJumpTime(std::string_view text);

}  // namespace kestrel
