#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The text with every carriage return and line feed turned into a blank, so one utterance stays
// one line (for the speech service's line protocol and for captured output).
std::string ToSingleLine(std::string_view text);

}  // namespace kestrel
