#pragma once

#include <string>

// When a position is worth remembering: only for items at least `remember_minutes` long, and
// never when that setting is 0. Kept apart from the player so the opener (which restores) and
// the bookmarks code (which saves) share one rule without depending on each other.
namespace kestrel {

bool IsLongEnoughToRemember(double length_seconds, int remember_minutes);

// The stored position of `path` to resume at, or 0: none stored, 0 stored, the item too short,
// or a position at or beyond the item's end.
double RememberedPositionFor(const std::string& path, double length_seconds, int remember_minutes);

// Stores `position` for `path` (any position, also 0 or the very end) when the item is long
// enough; true when stored.
bool RememberPositionFor(const std::string& path, double position, double length_seconds,
                         int remember_minutes);

}  // namespace kestrel
