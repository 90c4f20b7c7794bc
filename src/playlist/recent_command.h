#pragma once

// The Recent Files menu's commands, 6000-6009: entry id - 6000 of the recent-files list.
namespace kestrel {

inline constexpr int kFirstRecentCommand = 6000;
inline constexpr int kLastRecentCommand = 6009;

// Replaces the playlist with recent entry `index` and plays it; nothing for an index past the
// list. Returns whether the entry was taken.
bool OpenRecentFile(int index);

}  // namespace kestrel
