#pragma once

#include <string>

// How the player writes a position or a length for the user: "m:ss" below one hour, "h:mm:ss"
// from one hour on.
namespace kestrel {

// The whole seconds of `seconds` (truncated; negative and non-finite values read as 0) as
// "%d:%02d" below 3600, else "%d:%02d:%02d". Spoken as it is, never translated.
std::string TimeText(double seconds);

}  // namespace kestrel
