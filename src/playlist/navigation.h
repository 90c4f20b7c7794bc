#pragma once

#include <functional>

// Moving through the playlist: playing an item, next and previous, skipping tracks, the Play and
// Play/Pause commands, repeat and shuffle. User-interface thread only; every operation returns
// at once while an item is being opened (Playlist::opening), so navigation asked for meanwhile is
// dropped, not queued.
namespace kestrel {

// Opens item `index` and makes it current; with `autoplay` false it is left loaded and paused.
// An item that cannot be opened is skipped to the next one, at most ten attempts; a local file
// skipped that way is named aloud ("Cannot play file: name"), since the opener stays silent
// while the list can move on. On success the item enters the recent files, the main window is
// told the current item changed (message 1028), and with [Speech] TrackChange on it is announced.
void PlayItem(int index, bool autoplay);

// Next (also the end-of-track advance): repeat-track replays the current item; shuffle draws
// another item at random; otherwise the following item, wrapping to the first with repeat-all
// and stopping after the last without it.
void PlayNext(bool autoplay);

// Previous: past 3 seconds into the item, restarts it; otherwise plays the item before (the
// first item again on the first). Ignores shuffle and repeat; never wraps.
void PlayPrevious();

// Moves `count` items forward (negative: back), held within the list; nothing at either end.
// The transport's track seek units come here.
void SkipPlaylistTracks(int count);

// Play: a playing item restarts from 0; a paused or stopped one resumes; with nothing open, the
// current item is opened directly (or item 0 through PlayItem when there is no current item).
void PlayCurrent();
// Play/Pause: pauses what plays (stops a live stream), resumes what does not, and with nothing
// open acts as Play.
void TogglePlayPause();

// Repeat: off → track → all → off, spoken and saved.
void CycleRepeatMode();
// Shuffle on/off, spoken and saved; returns the new state so the caller can check the menu item.
bool ToggleShuffle();

// Called just before the playlist leaves the current item while it is still open (the item at
// current_index, its channel still playing): remembered positions save it here. nullptr removes.
void SetItemLeaveHandler(std::function<void()> handler);
// Runs the handler when a channel is open and the current index names an item.
void NotifyLeavingCurrentItem();

// Replaces the random draw of shuffle: `draw(count)` returns a number in [0, count). nullptr
// restores the generator.
void SetShuffleDrawForTesting(std::function<int(int)> draw);

}  // namespace kestrel
