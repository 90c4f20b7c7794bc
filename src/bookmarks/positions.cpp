#include "bookmarks/positions.h"

#include "bookmarks/position_rules.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "playlist/navigation.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {

bool SaveCurrentPosition(const std::string& path) {
  const int minutes = TheSettings().remember_pos_minutes;
  if (minutes <= 0 || ThePlayerState().output_stream == 0) return false;
  const TempoProcessor& processor = GetTempoProcessor();
  if (!processor.IsActive()) return false;
  return RememberPositionFor(path, CurrentPositionSeconds(), processor.GetLengthSeconds(),
                             minutes);
}

bool SaveCurrentItemPosition() {
  const Playlist& playlist = ThePlaylist();
  const int index = playlist.current_index;
  if (index < 0 || index >= static_cast<int>(playlist.items.size())) return false;
  const std::string& item = playlist.items[static_cast<std::size_t>(index)];
  if (OpenedPath() != item) return false;
  return SaveCurrentPosition(item);
}

void InstallPositionSaving() {
  SetItemLeaveHandler([] { SaveCurrentItemPosition(); });
}

void UninstallPositionSaving() { SetItemLeaveHandler(nullptr); }

}  // namespace kestrel
