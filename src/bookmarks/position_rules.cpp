#include "bookmarks/position_rules.h"

#include "storage/database.h"

namespace kestrel {

bool IsLongEnoughToRemember(double length_seconds, int remember_minutes) {
  return remember_minutes > 0 && length_seconds >= remember_minutes * 60.0;
}

double RememberedPositionFor(const std::string& path, double length_seconds,
                             int remember_minutes) {
  if (!IsLongEnoughToRemember(length_seconds, remember_minutes)) return 0;
  const double position = LoadPosition(path);
  return position > 0 && length_seconds > position ? position : 0;
}

bool RememberPositionFor(const std::string& path, double position, double length_seconds,
                         int remember_minutes) {
  if (!IsLongEnoughToRemember(length_seconds, remember_minutes)) return false;
  return SavePosition(path, position);
}

}  // namespace kestrel
