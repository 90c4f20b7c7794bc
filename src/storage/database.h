#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database_records.h"

// The player's one SQLite store: remembered positions, bookmarks, radio favorites, podcast
// subscriptions, scheduled events and the song history. One process-wide connection, used on
// the user-interface thread only. Every operation on a closed store returns its failure value
// at once (-1, false, 0.0, an empty list), so the player runs on without the store.
namespace kestrel {

// The schema version this program writes (PRAGMA user_version). A file with a higher version
// was written by a newer Kestrel and is left untouched.
inline constexpr int kDatabaseSchemaVersion = 1;

// Why the store could not be opened.
enum class DatabaseProblem {
  kNone,
  kCannotOpen,    // the file or its folder cannot be opened or created
  kReadOnly,      // the file (or its folder) cannot be written
  kDamaged,       // the file is not a database or is corrupt
  kNewerSchema,   // written by a newer version of Kestrel
};

// A non-empty kestrel_home wins: <kestrel_home>/Kestrel.db. Otherwise an installed copy uses
// <data folder>/Kestrel/Kestrel.db and a portable one Kestrel.db beside the executable.
std::filesystem::path ChooseDatabasePath(std::string_view kestrel_home,
                                         const std::filesystem::path& executable_dir);
// The path for this run (KESTREL_HOME, else the installed or portable place).
std::filesystem::path DatabaseFilePath();

// Opens DatabaseFilePath(), creating it and its tables when missing and adding what older
// versions lacked. True at once when already open. On false, DatabaseOpenProblem() says why and
// the file is left as it was.
bool OpenDatabase();
// The same on a given file (tests, and a future choice of place).
bool OpenDatabaseAt(const std::filesystem::path& file);
// Closes the store; nothing when closed. Nothing reopens it by itself.
void CloseDatabase();
bool IsDatabaseOpen();

// Why the last open failed (kNone after a success).
DatabaseProblem DatabaseOpenProblem();
// The last failure as a translated sentence the player can show or speak, naming what the user
// loses; empty after a success.
std::string DatabaseOpenFailureMessage();

// Remembered positions. The path is the playlist item exactly as held.
bool SavePosition(const std::string& path, double position);
double LoadPosition(const std::string& path);  // 0 when none

// Bookmarks, newest first.
int AddBookmark(const std::string& path, double position);  // the new id, -1 on failure
bool DeleteBookmark(int id);  // true also when no such bookmark
std::vector<BookmarkEntry> ListBookmarks();
// "song.mp3 @ 1:15": the file part of the path and the position, seconds truncated.
std::string BookmarkLabel(const std::string& path, double position);

// Radio favorites: in hand-made order when ordered, else alphabetically (case-insensitive).
int AddRadioFavorite(const std::string& name, const std::string& url);
bool DeleteRadioFavorite(int id);
bool UpdateRadioFavorite(int id, const std::string& name, const std::string& url);
std::vector<RadioFavorite> ListRadioFavorites();
// Numbers the favorites 1..n in the given order, all or nothing: false (and the old order kept)
// when any step fails.
bool SetRadioFavoriteOrder(const std::vector<RadioFavorite>& ordered);
bool ResetRadioFavoriteOrder();

// Podcast subscriptions; the feed URL is unique (a second subscription to it gives -1).
int AddSubscription(const std::string& name, const std::string& feed_url,
                    const std::string& image_url);
bool DeleteSubscription(int id);
bool TouchSubscription(int id);  // last_updated = now
std::vector<PodcastSubscription> ListSubscriptions();
bool SetSubscriptionOrder(const std::vector<PodcastSubscription>& ordered);  // all or nothing
bool ResetSubscriptionOrder();

// Scheduled events. `event.id`, `last_run` and `label` are not read by Add and Update.
int AddScheduledEvent(const ScheduledEvent& event);
bool UpdateScheduledEvent(int id, const ScheduledEvent& event);  // leaves last_run
bool DeleteScheduledEvent(int id);
bool SetScheduledEventEnabled(int id, bool enabled);
bool SetScheduledEventLastRun(int id, std::int64_t time);
bool SetScheduledEventTime(int id, std::int64_t time);
std::vector<ScheduledEvent> ListScheduledEvents();  // by time, labels filled
std::vector<ScheduledEvent> ListDueEvents();        // on, due, not fired since; no labels
// "[On] News - Record @ 2025-03-01 18:00 (Daily) [30 min]", in local time.
std::string ScheduledEventLabel(const ScheduledEvent& event);

// Song history: a title equal to the newest entry is not stored again; the newest 100 are kept.
void AddSongHistory(const std::string& title);
std::vector<SongHistoryEntry> ListSongHistory();  // newest first, at most 100
void ClearSongHistory();

// Replaces the clock that stamps rows (nullptr: the system clock).
void SetDatabaseClockForTesting(std::int64_t (*now)());

}  // namespace kestrel
