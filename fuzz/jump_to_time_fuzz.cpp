// Feeds arbitrary text to the jump-to-time reader and to the time text writer: the reader
// answers -1 or a finite number, and a time written for the user reads back as the whole seconds
// it was made from.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/jump_to_time.h"
#include "engine/time_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double seconds = kestrel::ParseJumpTime(text);
  Check(std::isfinite(seconds));
  if (seconds >= 0 && seconds < 1e9) {
    const double whole = std::floor(seconds);
    Check(kestrel::ParseJumpTime(kestrel::TimeText(seconds)) == whole);
  }
  return 0;
}
