#pragma once

#include <string>
#include <vector>

namespace kestrel {

// The one list of items the player plays: local paths or URLs, UTF-8.
struct Playlist {
  std::vector<std::string> items;
  int current_index = -1;  // -1: no current item
  bool opening = false;    // an item is being opened; re-entrant opens are refused
};

// The process-wide playlist, touched only on the user-interface thread.
Playlist& ThePlaylist();

}  // namespace kestrel
