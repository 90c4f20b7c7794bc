#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// ASCII-only case folding, for names that the program compares without regard to case.
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace kestrel
