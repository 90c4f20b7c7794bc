#include "playlist/replace_playlist.h"

#include <optional>
#include <utility>

#include "engine/url_open_attempts.h"
#include "playlist/navigation.h"
#include "playlist/playlist.h"

namespace kestrel {
namespace {

struct WaitingList {
  std::vector<std::string> items;
  int start = 0;
};

std::optional<WaitingList>& Waiting() {
  static std::optional<WaitingList> waiting;
  return waiting;
}

}  // namespace

bool ReplacePlaylist(std::vector<std::string> items, int start) {
  if (items.empty()) return false;
  Playlist& playlist = ThePlaylist();
  if (playlist.opening) {
    // An item is being opened: an internet station connecting while the window answers. The
    // newer choice wins: the connection is called off and this list is taken once it has ended.
    Waiting() = WaitingList{std::move(items), start};
    CancelPendingUrlOpen();
    return true;
  }
  // The item being left saves its position while the index still names it; after the reset
  // PlayItem has nothing of the old list to save.
  NotifyLeavingCurrentItem();
  playlist.items = std::move(items);
  playlist.current_index = -1;
  const int count = static_cast<int>(playlist.items.size());
  PlayItem(start >= 0 && start < count ? start : 0, true);
  return true;
}

void ReplaceWithWaitingList() {
  if (!Waiting() || ThePlaylist().opening) return;
  WaitingList list = std::move(*Waiting());
  Waiting().reset();
  ReplacePlaylist(std::move(list.items), list.start);
}

}  // namespace kestrel
