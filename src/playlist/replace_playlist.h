#pragma once

#include <string>
#include <vector>

// Every command that fills the playlist anew (Open, Add Folder, Open URL, paste, a recent file,
// a hand-over from a second start, radio, podcasts, bookmarks, the scheduler) comes through here.
namespace kestrel {

// Lets the item being left save its position, then replaces the list with `items`, sets the
// current index to -1 and plays item `start` (held to 0 when outside the list). An empty `items`
// leaves the list and what plays untouched and returns false, so an unreadable or empty source
// never wipes the user's playlist.
// While an item is being opened (a station connecting, the window answering meanwhile) the
// connection is called off and the list waits for ReplaceWithWaitingList; true all the same.
bool ReplacePlaylist(std::vector<std::string> items, int start = 0);

// Takes a list that waited for an opening to end (the newest one), when no item is being opened
// now. Called where an opening ends, and by the window's periodic refresh as a safety net.
void ReplaceWithWaitingList();

}  // namespace kestrel
