#include "app/window_title.h"

#include "app/main_window.h"
#include "app/pending_steps.h"
#include "app/shell_state.h"
#include "engine/player_state.h"
#include "engine/tag_track_info.h"
#include "playlist/playlist.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// The text after the last path separator; a URL or path ending in one is kept whole.
std::string FileNameOf(const std::string& item) {
  const std::size_t slash = item.find_last_of("/\\");
  if (slash == std::string::npos || slash + 1 == item.size()) return item;
  return item.substr(slash + 1);
}

// The playlist's current item, or empty when there is none.
std::string CurrentItem() {
  const Playlist& playlist = ThePlaylist();
  if (playlist.current_index < 0 || playlist.current_index >= static_cast<int>(playlist.items.size())) return {};
  return playlist.items[playlist.current_index];
}

std::string TitleOfWhatPlays() {
  const std::string item = CurrentItem();
  if (ThePlayerState().source_kind == SourceKind::kVideo) {
    std::string title = pending::CurrentVideoPlayback().media_title;
    return title.empty() && !item.empty() ? FileNameOf(item) : title;
  }
  if (item.empty()) return {};
  // The title as the title key says it, without its "No title" fallback: the file name instead.
  std::string title = CurrentTitleText();
  return title.empty() ? FileNameOf(item) : title;
}

}  // namespace

std::string CurrentWindowTitle() {
  std::string title = "Kestrel";
  if (!TheSettings().show_title_in_window) return title;
  if (const std::string what = TitleOfWhatPlays(); !what.empty()) title += " - " + what;
  return title;
}

void RefreshWindowTitle() {
  MainWindow* window = Shell().main_window;
  if (!window) return;
  const QString title = QString::fromStdString(CurrentWindowTitle());
  if (window->windowTitle() == title) return;
  window->setWindowTitle(title);
  window->setAccessibleName(title);
}

}  // namespace kestrel
