#include "bookmarks/bookmark_commands.h"

#include "base/utf8.h"
#include "engine/open_media.h"
#include "engine/transport.h"
#include "i18n/translate.h"
#include "playlist/navigation.h"
#include "playlist/playlist.h"
#include "playlist/replace_playlist.h"
#include "speech/speech.h"
#include "storage/database.h"

namespace kestrel {
namespace {

int FindItemIgnoringCase(const Playlist& playlist, const std::string& path) {
  for (std::size_t i = 0; i < playlist.items.size(); ++i) {
    if (EqualsIgnoreAsciiCase(playlist.items[i], path)) return static_cast<int>(i);
  }
  return -1;
}

bool IsCurrentAndOpen(const Playlist& playlist, int index) {
  return index >= 0 && index == playlist.current_index &&
         index < static_cast<int>(playlist.items.size()) &&
         OpenedPath() == playlist.items[static_cast<std::size_t>(index)];
}

}  // namespace

int AddBookmarkAtCurrentPosition() {
  const Playlist& playlist = ThePlaylist();
  const int index = playlist.current_index;
  if (index < 0 || index >= static_cast<int>(playlist.items.size())) return -1;
  const int id =
      AddBookmark(playlist.items[static_cast<std::size_t>(index)], CurrentPositionSeconds());
  if (id >= 0) Speak(Translate("Bookmark added"), true);
  return id;
}

bool JumpToBookmark(const BookmarkEntry& bookmark) {
  Playlist& playlist = ThePlaylist();
  int index = FindItemIgnoringCase(playlist, bookmark.path);
  if (index >= 0) {
    if (!IsCurrentAndOpen(playlist, index)) PlayItem(index, true);
  } else {
    if (!ReplacePlaylist({bookmark.path}, 0)) return false;
    index = 0;
  }
  if (!IsCurrentAndOpen(ThePlaylist(), index)) return false;
  SeekTo(bookmark.position);
  return true;
}

}  // namespace kestrel
