#include "playlist/playback_state.h"

#include "engine/open_media.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "playlist/playlist.h"
#include "storage/session_store.h"
#include "storage/settings.h"

namespace kestrel {

bool SavePlaybackState() {
  if (!TheSettings().remember_state) return ForgetSessionState();
  const Playlist& playlist = ThePlaylist();
  return SaveSessionState(playlist.items, playlist.current_index, CurrentPositionSeconds());
}

bool LoadPlaybackState() {
  if (!TheSettings().remember_state) return false;
  SessionState session = LoadSessionState();
  Playlist& playlist = ThePlaylist();
  playlist.items = std::move(session.tracks);
  playlist.current_index = -1;

  int current = 0;
  if (!playlist.items.empty()) {
    const int count = static_cast<int>(playlist.items.size());
    current = session.current_track >= 0 && session.current_track < count ? session.current_track : 0;
  } else if (!session.last_file.empty()) {
    playlist.items.push_back(session.last_file);
  } else {
    return false;
  }
  playlist.current_index = current;

  // A copy: the opener may look at the playlist while it works.
  const std::string item = playlist.items[static_cast<std::size_t>(current)];
  if (!OpenMedia(item)) return false;
  if (!ThePlayerState().is_live && session.last_position > 0) SeekTo(session.last_position);
  return true;
}

}  // namespace kestrel
