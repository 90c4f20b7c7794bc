#pragma once

#include <cstdint>

// The commands that move through the playlist: play, play/pause, previous, next, repeat, the
// recent files, opening files, folders and internet addresses, the bookmarks and the song
// history.
namespace kestrel {

void CommandPlay(int id, std::int64_t lparam);
void CommandPlayPause(int id, std::int64_t lparam);
void CommandPrevious(int id, std::int64_t lparam);
void CommandNext(int id, std::int64_t lparam);
void CommandRepeat(int id, std::int64_t lparam);
void CommandRecentFile(int id, std::int64_t lparam);
void CommandOpenDialog(int id, std::int64_t lparam);
void CommandAddFolderDialog(int id, std::int64_t lparam);
void CommandPasteMedia(int id, std::int64_t lparam);
void CommandOpenUrlDialog(int id, std::int64_t lparam);
void CommandPlaylistManager(int id, std::int64_t lparam);
void CommandAddBookmark(int id, std::int64_t lparam);
void CommandBookmarksDialog(int id, std::int64_t lparam);
void CommandSongHistoryDialog(int id, std::int64_t lparam);

}  // namespace kestrel
