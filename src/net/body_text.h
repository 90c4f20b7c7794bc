#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// A received body as text: it ends at the first NUL byte, and each byte that does not belong to
// a well-formed UTF-8 sequence is replaced by U+FFFD.
std::string BodyToText(std::string_view body);

}  // namespace kestrel
