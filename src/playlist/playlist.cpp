#include "playlist/playlist.h"

namespace kestrel {

Playlist& ThePlaylist() {
  static Playlist playlist;
  return playlist;
}

}  // namespace kestrel
