#include "app/playlist_commands.h"

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/shell_state.h"
#include "playlist/open_commands.h"
#include "bookmarks/bookmark_commands.h"
#include "bookmarks/bookmarks_dialog.h"
#include "bookmarks/song_history_dialog.h"
#include "engine/open_url_dialog.h"
#include "playlist/navigation.h"
#include "playlist/playlist_manager_dialog.h"
#include "playlist/recent_command.h"

namespace kestrel {

void CommandPlay(int, std::int64_t) { PlayCurrent(); }
void CommandPlayPause(int, std::int64_t) { TogglePlayPause(); }
void CommandPrevious(int, std::int64_t) { PlayPrevious(); }
// The end of a track posts Next with lparam 1 when the next item is only to be loaded.
void CommandNext(int, std::int64_t lparam) { PlayNext(lparam == 0); }
void CommandRepeat(int, std::int64_t) { CycleRepeatMode(); }
void CommandRecentFile(int id, std::int64_t) { OpenRecentFile(id - cmd::kRecentFirst); }
void CommandOpenDialog(int, std::int64_t) { CommandOpenFiles(Shell().main_window); }
void CommandAddFolderDialog(int, std::int64_t) { CommandAddFolder(Shell().main_window); }
void CommandPasteMedia(int, std::int64_t) { CommandPasteFromClipboard(); }
void CommandOpenUrlDialog(int, std::int64_t) { ShowOpenUrlDialog(Shell().main_window); }
void CommandPlaylistManager(int, std::int64_t) { ShowPlaylistManager(Shell().main_window); }
void CommandAddBookmark(int, std::int64_t) { AddBookmarkAtCurrentPosition(); }
void CommandBookmarksDialog(int, std::int64_t) { ShowBookmarksDialog(Shell().main_window); }
void CommandSongHistoryDialog(int, std::int64_t) { ShowSongHistoryDialog(Shell().main_window); }

}  // namespace kestrel
