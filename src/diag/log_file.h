#pragma once

#include <filesystem>
#include <string_view>

// The platform calls under the logger.
namespace kestrel {

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

LocalDateTime LocalNow();

// Appends the bytes to the file (created when missing) with one write on a descriptor opened for
// appending, so lines from several writers never interleave, then closes it. False when the file
// cannot be opened or written.
bool AppendWhole(const std::filesystem::path& file, std::string_view bytes);

}  // namespace kestrel
