#pragma once

#include "storage/database_records.h"

// Bookmarks: the current item and position kept on request, and going back to one.
// User-interface thread only.
namespace kestrel {

// Command 800 (M): bookmarks the current item at the current position and says "Bookmark
// added" when it was stored. With no current item, or when the store refuses, says nothing.
// Returns the new bookmark's id, -1 when none was added.
int AddBookmarkAtCurrentPosition();

// Plays the bookmark's item and moves to its position. The item is looked for in the playlist
// (letter case ignored, first match); an item already current is not reopened. An item not in
// the playlist replaces the playlist. The position is applied only when that item is then the
// one open, so a file that cannot be played never moves another item. True when it was applied.
bool JumpToBookmark(const BookmarkEntry& bookmark);

}  // namespace kestrel
