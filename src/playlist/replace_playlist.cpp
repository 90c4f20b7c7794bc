#include "playlist/replace_playlist.h"

#include "playlist/navigation.h"
#include "playlist/playlist.h"

namespace kestrel {

bool ReplacePlaylist(std::vector<std::string> items, int start) {
  if (items.empty()) return false;
  Playlist& playlist = ThePlaylist();
  if (playlist.opening) return false;
  // The item being left saves its position while the index still names it; after the reset
  // PlayItem has nothing of the old list to save.
  NotifyLeavingCurrentItem();
  playlist.items = std::move(items);
  playlist.current_index = -1;
  const int count = static_cast<int>(playlist.items.size());
  PlayItem(start >= 0 && start < count ? start : 0, true);
  return true;
}

}  // namespace kestrel
