// The operations on each kind of record: positions, bookmarks, favorites and subscriptions with
// their hand-made order, scheduled events, the song history.
#include <cstdlib>
#include <ctime>

#include "database_fixture.h"

namespace kestrel::test {
namespace {

using DatabaseRecordsTest = DatabaseTest;

TEST_F(DatabaseRecordsTest, PositionsAreKeptPerExactPathAndReplaced) {
  EXPECT_EQ(LoadPosition("/music/unknown.mp3"), 0);
  EXPECT_TRUE(SavePosition("/music/Book.mp3", 750.25));
  EXPECT_TRUE(SavePosition("/music/Book.mp3", 800.5));
  EXPECT_TRUE(SavePosition("", 3));  // an empty path is text, not NULL
  EXPECT_EQ(LoadPosition("/music/Book.mp3"), 800.5);
  EXPECT_EQ(LoadPosition("/music/book.mp3"), 0);  // no case folding
  EXPECT_EQ(LoadPosition(""), 3);
  EXPECT_EQ(RawQuery(file_, "SELECT count(*) FROM file_positions;"), "2");
}

TEST_F(DatabaseRecordsTest, BookmarksListNewestFirstWithLabelsAndDelete) {
  const int first = AddBookmark("C:\\Music\\song.mp3", 75.9);
  ++Clock();
  const int second = AddBookmark("/home/é/livre 1.ogg", 3600);
  const int same_second = AddBookmark("/x/y.flac", 0);
  ASSERT_GE(first, 0);
  ASSERT_GT(second, first);
  std::vector<BookmarkEntry> bookmarks = ListBookmarks();
  ASSERT_EQ(bookmarks.size(), 3u);
  EXPECT_EQ(bookmarks[0].id, same_second);
  EXPECT_EQ(bookmarks[1].id, second);
  EXPECT_EQ(bookmarks[1].path, "/home/é/livre 1.ogg");
  EXPECT_EQ(bookmarks[1].label, "livre 1.ogg @ 1:00:00");
  EXPECT_EQ(bookmarks[1].created, Clock());
  EXPECT_EQ(bookmarks[2].label, "song.mp3 @ 1:15");
  EXPECT_DOUBLE_EQ(bookmarks[2].position, 75.9);

  EXPECT_TRUE(DeleteBookmark(second));
  EXPECT_TRUE(DeleteBookmark(12345));  // no such bookmark: still done
  bookmarks = ListBookmarks();
  ASSERT_EQ(bookmarks.size(), 2u);
  EXPECT_EQ(bookmarks[0].id, same_second);
  EXPECT_EQ(bookmarks[1].id, first);
}

TEST(BookmarkLabelTest, TimesTruncatedToSeconds) {
  struct Case {
    const char* path;
    double position;
    const char* label;
  } cases[] = {
      {"song.mp3", 0, "song.mp3 @ 0:00"},
      {"/a/b/c.wav", 59.99, "c.wav @ 0:59"},
      {"/a/b/c.wav", 3599.9, "c.wav @ 59:59"},
      {"/a/b/c.wav", 3600, "c.wav @ 1:00:00"},
      {"x\\y.mp3", 36000 + 61, "y.mp3 @ 10:01:01"},
      {"/folder/", 5, " @ 0:05"},
      {"/n.mp3", -4, "n.mp3 @ 0:00"},
      {"/n.mp3", 1e300, "n.mp3 @ 0:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(BookmarkLabel(c.path, c.position), c.label) << c.path;
}

std::vector<std::string> FavoriteNames() {
  std::vector<std::string> names;
  for (const RadioFavorite& favorite : ListRadioFavorites()) names.push_back(favorite.name);
  return names;
}

TEST_F(DatabaseRecordsTest, FavoritesAlphabeticalUntilOrderedByHand) {
  AddRadioFavorite("jazz", "http://j");
  AddRadioFavorite("Blues", "http://b");
  AddRadioFavorite("classic", "http://c");
  EXPECT_EQ(FavoriteNames(), (std::vector<std::string>{"Blues", "classic", "jazz"}));

  std::vector<RadioFavorite> favorites = ListRadioFavorites();
  std::swap(favorites[0], favorites[2]);  // jazz, classic, Blues
  ASSERT_TRUE(SetRadioFavoriteOrder(favorites));
  EXPECT_EQ(FavoriteNames(), (std::vector<std::string>{"jazz", "classic", "Blues"}));
  AddRadioFavorite("Ambient", "http://a");  // after a hand ordering: at the end
  EXPECT_EQ(FavoriteNames(), (std::vector<std::string>{"jazz", "classic", "Blues", "Ambient"}));
  EXPECT_EQ(ListRadioFavorites().back().sort_order, 4);

  ASSERT_TRUE(UpdateRadioFavorite(favorites[0].id, "Zydeco", "http://z"));
  ASSERT_TRUE(ResetRadioFavoriteOrder());
  EXPECT_EQ(FavoriteNames(), (std::vector<std::string>{"Ambient", "Blues", "classic", "Zydeco"}));
  ASSERT_TRUE(DeleteRadioFavorite(favorites[0].id));
  EXPECT_EQ(ListRadioFavorites().size(), 3u);
}

// A step that fails part-way must not leave the first rows renumbered and report success.
TEST_F(DatabaseRecordsTest, ReorderingIsAllOrNothing) {
  for (const char* name : {"a", "b", "c"}) AddRadioFavorite(name, std::string("http://") + name);
  for (const char* name : {"a", "b", "c"}) {
    AddSubscription(name, std::string("http://") + name, "");
  }
  RawExec(
      "CREATE TRIGGER refuse_c BEFORE UPDATE OF sort_order ON radio_favorites WHEN NEW.name = 'c' "
      "BEGIN SELECT RAISE(ABORT, 'refused'); END;"
      "CREATE TRIGGER refuse_sub_c BEFORE UPDATE OF sort_order ON podcast_subscriptions WHEN "
      "NEW.name = 'c' BEGIN SELECT RAISE(ABORT, 'refused'); END;");

  std::vector<RadioFavorite> favorites = ListRadioFavorites();
  std::reverse(favorites.begin(), favorites.end());  // c first: fails at once
  std::rotate(favorites.begin(), favorites.begin() + 1, favorites.end());  // b, a, c: fails last
  EXPECT_FALSE(SetRadioFavoriteOrder(favorites));
  for (const RadioFavorite& favorite : ListRadioFavorites()) EXPECT_EQ(favorite.sort_order, 0);

  std::vector<PodcastSubscription> subscriptions = ListSubscriptions();
  std::reverse(subscriptions.begin(), subscriptions.end());
  std::rotate(subscriptions.begin(), subscriptions.begin() + 1, subscriptions.end());
  EXPECT_FALSE(SetSubscriptionOrder(subscriptions));
  for (const PodcastSubscription& subscription : ListSubscriptions()) {
    EXPECT_EQ(subscription.sort_order, 0);
  }

  RawExec("DROP TRIGGER refuse_c; DROP TRIGGER refuse_sub_c;");
  EXPECT_TRUE(SetRadioFavoriteOrder(favorites));
  EXPECT_EQ(FavoriteNames(), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_TRUE(SetSubscriptionOrder(subscriptions));
  EXPECT_EQ(ListSubscriptions().front().name, "b");
}

TEST_F(DatabaseRecordsTest, SubscriptionsUniqueByFeedAndTouched) {
  const int id = AddSubscription("Show", "http://feed", "");
  ASSERT_GE(id, 0);
  EXPECT_EQ(AddSubscription("Other name", "http://feed", "http://img"), -1);
  std::vector<PodcastSubscription> subscriptions = ListSubscriptions();
  ASSERT_EQ(subscriptions.size(), 1u);
  EXPECT_EQ(subscriptions[0].name, "Show");
  EXPECT_EQ(subscriptions[0].image_url, "");
  EXPECT_EQ(subscriptions[0].last_updated, Clock());
  Clock() += 500;
  EXPECT_TRUE(TouchSubscription(id));
  EXPECT_EQ(ListSubscriptions()[0].last_updated, Clock());
  RawExec("UPDATE podcast_subscriptions SET image_url = NULL;");
  EXPECT_EQ(ListSubscriptions()[0].image_url, "");  // NULL reads as empty
  EXPECT_TRUE(DeleteSubscription(id));
  EXPECT_TRUE(ListSubscriptions().empty());
}

ScheduledEvent MakeEvent(const char* name, std::int64_t time) {
  ScheduledEvent event;
  event.name = name;
  event.action = 1;
  event.source_path = "http://radio";
  event.radio_station_id = 3;
  event.scheduled_time = time;
  event.repeat_type = 1;
  event.duration = 30;
  event.stop_action = 2;
  return event;
}

TEST_F(DatabaseRecordsTest, ScheduledEventsRoundTripAndFallDue) {
  const int later = AddScheduledEvent(MakeEvent("Later", Clock() + 600));
  const int due = AddScheduledEvent(MakeEvent("Due", Clock() - 60));
  ScheduledEvent off = MakeEvent("Off", Clock() - 60);
  off.enabled = false;
  AddScheduledEvent(off);

  std::vector<ScheduledEvent> events = ListScheduledEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events.back().id, later);
  EXPECT_EQ(events.back().radio_station_id, 3);
  EXPECT_EQ(events.back().duration, 30);
  EXPECT_EQ(events.back().stop_action, 2);
  EXPECT_EQ(events.back().last_run, 0);
  EXPECT_FALSE(events.back().label.empty());

  std::vector<ScheduledEvent> due_events = ListDueEvents();
  ASSERT_EQ(due_events.size(), 1u);
  EXPECT_EQ(due_events[0].id, due);
  EXPECT_EQ(due_events[0].label, "");
  ASSERT_TRUE(SetScheduledEventLastRun(due, Clock()));
  EXPECT_TRUE(ListDueEvents().empty());  // fired since its time was set
  ASSERT_TRUE(SetScheduledEventTime(due, Clock() + 86400));
  Clock() += 86400;
  due_events = ListDueEvents();  // "Later" has come due as well, and is earlier
  ASSERT_EQ(due_events.size(), 2u);
  EXPECT_EQ(due_events[0].id, later);
  EXPECT_EQ(due_events[1].id, due);

  ScheduledEvent changed = MakeEvent("Renamed", Clock() + 5);
  changed.enabled = false;
  ASSERT_TRUE(UpdateScheduledEvent(due, changed));
  ASSERT_TRUE(SetScheduledEventEnabled(later, false));
  for (const ScheduledEvent& event : ListScheduledEvents()) {
    EXPECT_FALSE(event.enabled) << event.name;
    if (event.id == due) {
      EXPECT_EQ(event.last_run, Clock() - 86400);  // kept by Update
    }
  }
  EXPECT_TRUE(DeleteScheduledEvent(later));
  EXPECT_EQ(ListScheduledEvents().size(), 2u);
}

TEST(ScheduledEventLabelTest, WordsTimeAndDuration) {
  setenv("TZ", "UTC", 1);
  tzset();
  ScheduledEvent event;
  event.name = "News";
  event.action = 1;
  event.scheduled_time = 1740852000;  // 2025-03-01 18:00 UTC
  event.repeat_type = 1;
  event.duration = 30;
  EXPECT_EQ(ScheduledEventLabel(event), "[On] News - Record @ 2025-03-01 18:00 (Daily) [30 min]");
  event.enabled = false;
  event.action = 7;
  event.repeat_type = 9;
  event.duration = 0;
  EXPECT_EQ(ScheduledEventLabel(event), "[Off] News - Unknown @ 2025-03-01 18:00 (Unknown)");
  event.action = 2;
  event.repeat_type = 5;
  EXPECT_EQ(ScheduledEventLabel(event), "[Off] News - Play+Record @ 2025-03-01 18:00 (Monthly)");
}

TEST_F(DatabaseRecordsTest, SongHistorySkipsRepeatsAndKeepsTheNewestHundred) {
  AddSongHistory("A");
  AddSongHistory("A");
  AddSongHistory("");
  AddSongHistory("B");
  AddSongHistory("A");
  std::vector<SongHistoryEntry> history = ListSongHistory();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[0].title, "A");
  EXPECT_EQ(history[1].title, "B");
  EXPECT_EQ(history[0].timestamp, Clock());

  for (int i = 0; i < 101; ++i) AddSongHistory("Song " + std::to_string(i));
  history = ListSongHistory();
  ASSERT_EQ(history.size(), 100u);
  EXPECT_EQ(history.front().title, "Song 100");
  EXPECT_EQ(history.back().title, "Song 1");
  EXPECT_EQ(RawQuery(file_, "SELECT count(*) FROM song_history;"), "100");
  ClearSongHistory();
  EXPECT_TRUE(ListSongHistory().empty());
}

// Text goes in as bound parameters, never spliced into the SQL.
TEST_F(DatabaseRecordsTest, QuotesAndSqlInTextAreJustText) {
  const std::string path = "/music/it's'; DROP TABLE bookmarks; --.mp3";
  ASSERT_GE(AddBookmark(path, 1), 0);
  ASSERT_GE(AddRadioFavorite("Rock 'n' Roll", "http://x/?a='1'"), 0);
  EXPECT_EQ(ListBookmarks().at(0).path, path);
  EXPECT_EQ(ListRadioFavorites().at(0).name, "Rock 'n' Roll");
}

}  // namespace
}  // namespace kestrel::test
