#include "playlist/recent_command.h"

#include "playlist/replace_playlist.h"
#include "storage/settings.h"

namespace kestrel {

bool OpenRecentFile(int index) {
  const auto& recent = TheSettings().recent_files;
  if (index < 0 || index >= static_cast<int>(recent.size())) return false;
  // A copy: playing the entry moves it to the front of the list it comes from.
  return ReplacePlaylist({recent[static_cast<std::size_t>(index)]}, 0);
}

}  // namespace kestrel
