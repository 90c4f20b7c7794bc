#include "engine/time_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kestrel {

std::string TimeText(double seconds) {
  // Far beyond any media length, but keeps the conversion to an integer defined.
  constexpr double kLongest = 1e12;
  std::int64_t whole = 0;
  if (std::isfinite(seconds) && seconds > 0) {
    whole = static_cast<std::int64_t>(std::min(seconds, kLongest));
  }
  const long long hours = whole / 3600;
  const int minutes = static_cast<int>(whole / 60 % 60);
  const int secs = static_cast<int>(whole % 60);
  char text[32];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%d:%02d", minutes, secs);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", hours, minutes, secs);
  }
  return text;
}

}  // namespace kestrel
