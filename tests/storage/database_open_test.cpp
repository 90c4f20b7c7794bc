// Opening the store: where it lies, the tables of a fresh file, upgrading an older file, and the
// files it must refuse without touching them (newer, read-only, damaged).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "database_fixture.h"
#include "support/test_environment.h"

namespace kestrel::test {
namespace {

namespace fs = std::filesystem;

// Home, XDG folders and KESTREL_HOME in a temporary folder of this run.
class DatabasePathTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (TestRoot().empty()) PrepareTestEnvironment();
  }
};

TEST_F(DatabasePathTest, KestrelHomeThenInstalledThenBesideTheProgram) {
  TempFolder folder;
  const fs::path home = folder.path() / "home";
  EXPECT_EQ(ChooseDatabasePath(home.string(), folder.path()), home / "Kestrel.db");
  EXPECT_TRUE(fs::is_directory(home));

  const fs::path portable = folder.path() / "portable";
  fs::create_directories(portable);
  EXPECT_EQ(ChooseDatabasePath("", portable), portable / "Kestrel.db");

  const fs::path installed = folder.path() / "installed";
  folder.Write("installed/installed.txt", "");
  const char* data_home = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(data_home, nullptr);
  EXPECT_EQ(ChooseDatabasePath("", installed), fs::path(data_home) / "Kestrel" / "Kestrel.db");
}

TEST_F(DatabasePathTest, OpenDatabaseUsesKestrelHome) {
  CloseDatabase();
  ASSERT_TRUE(OpenDatabase()) << DatabaseOpenFailureMessage();
  EXPECT_TRUE(OpenDatabase());  // already open
  CloseDatabase();
  EXPECT_TRUE(fs::exists(fs::path(std::getenv("KESTREL_HOME")) / "Kestrel.db"));
  EXPECT_FALSE(IsDatabaseOpen());
}

using DatabaseOpenTest = DatabaseTest;

TEST_F(DatabaseOpenTest, FreshFileHasEveryTableTheVersionAndWal) {
  for (const char* table : {"file_positions", "bookmarks", "radio_favorites",
                            "podcast_subscriptions", "scheduled_events", "song_history"}) {
    EXPECT_EQ(RawQuery(file_, std::string("SELECT name FROM sqlite_master WHERE name = '") +
                                  table + "';"),
              table);
  }
  for (const char* table : {"radio_favorites", "podcast_subscriptions"}) {
    EXPECT_EQ(RawQuery(file_, std::string("SELECT name FROM pragma_table_info('") + table +
                                  "') WHERE name = 'sort_order';"),
              "sort_order");
  }
  EXPECT_EQ(RawQuery(file_, "PRAGMA user_version;"), std::to_string(kDatabaseSchemaVersion));
  EXPECT_EQ(RawQuery(file_, "PRAGMA journal_mode;"), "wal");
  EXPECT_EQ(DatabaseOpenProblem(), DatabaseProblem::kNone);
  EXPECT_EQ(DatabaseOpenFailureMessage(), "");
}

TEST_F(DatabaseOpenTest, ReopeningKeepsEverythingAndChangesNothing) {
  ASSERT_GE(AddBookmark("/music/a.mp3", 12.5), 0);
  ASSERT_TRUE(SavePosition("/music/a.mp3", 99));
  const std::string schema_before = RawQuery(file_, "SELECT group_concat(sql, '|') FROM sqlite_master;");
  for (int run = 0; run < 3; ++run) {
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(file_));
  }
  EXPECT_EQ(RawQuery(file_, "SELECT group_concat(sql, '|') FROM sqlite_master;"), schema_before);
  EXPECT_EQ(ListBookmarks().size(), 1u);
  EXPECT_EQ(LoadPosition("/music/a.mp3"), 99);
}

TEST_F(DatabaseOpenTest, OlderFileGainsTheMissingColumnsAndKeepsItsRows) {
  CloseDatabase();
  const fs::path old_file = folder_.path() / "old.db";
  RawExecOn(old_file,
            "CREATE TABLE scheduled_events (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT "
            "NULL, action INTEGER NOT NULL, source_type INTEGER NOT NULL, source_path TEXT NOT "
            "NULL, radio_station_id INTEGER DEFAULT 0, scheduled_time INTEGER NOT NULL, "
            "repeat_type INTEGER DEFAULT 0, enabled INTEGER DEFAULT 1, last_run INTEGER DEFAULT 0);"
            "INSERT INTO scheduled_events (name, action, source_type, source_path, scheduled_time) "
            "VALUES ('News', 1, 0, 'x', 100);"
            "CREATE TABLE radio_favorites (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT "
            "NULL, url TEXT NOT NULL, created INTEGER NOT NULL);"
            "INSERT INTO radio_favorites (name, url, created) VALUES ('Jazz', 'http://j', 1);");
  ASSERT_TRUE(OpenDatabaseAt(old_file)) << DatabaseOpenFailureMessage();
  const std::vector<ScheduledEvent> events = ListScheduledEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].name, "News");
  EXPECT_EQ(events[0].duration, 0);
  EXPECT_EQ(events[0].stop_action, 0);
  const std::vector<RadioFavorite> favorites = ListRadioFavorites();
  ASSERT_EQ(favorites.size(), 1u);
  EXPECT_EQ(favorites[0].sort_order, 0);
  EXPECT_EQ(RawQuery(old_file, "PRAGMA user_version;"), std::to_string(kDatabaseSchemaVersion));
}

// The bytes of a file and of the journal files beside it.
std::string Snapshot(const fs::path& file) {
  std::string all = ReadWholeFile(file);
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    all += fs::exists(file.string() + suffix) ? std::string("+") + suffix : "";
  }
  return all;
}

struct RefusedFile {
  const char* name;
  DatabaseProblem problem;
  void (*make)(const fs::path& file);
};

const RefusedFile kRefusedFiles[] = {
    {"newer schema", DatabaseProblem::kNewerSchema,
     [](const fs::path& file) {
       DatabaseTest::RawExecOn(file,
                               "CREATE TABLE future (x); PRAGMA user_version = 99;");
     }},
    {"not a database", DatabaseProblem::kDamaged,
     [](const fs::path& file) {
       TempFolder scratch;
       fs::copy_file(scratch.Write("junk", std::string(4096, 'k') + "garbage"), file);
     }},
    {"header of a database, pages of noise", DatabaseProblem::kDamaged,
     [](const fs::path& file) {
       DatabaseTest::RawExecOn(file, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
       std::string bytes = ReadWholeFile(file);
       for (std::size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
       TempFolder scratch;
       fs::remove(file);
       fs::copy_file(scratch.Write("noise", bytes), file);
     }},
};

TEST(DatabaseRefusedTest, NewerOrDamagedFilesAreRefusedUntouchedAndTheStoreStaysClosed) {
  RegisterAllTranslations();
  SetLanguage("en");
  for (const RefusedFile& refused : kRefusedFiles) {
    SCOPED_TRACE(refused.name);
    TempFolder folder;
    const fs::path file = folder.path() / "Kestrel.db";
    refused.make(file);
    const std::string before = Snapshot(file);

    CloseDatabase();
    EXPECT_FALSE(OpenDatabaseAt(file));
    EXPECT_FALSE(IsDatabaseOpen());
    EXPECT_EQ(DatabaseOpenProblem(), refused.problem);
    EXPECT_NE(DatabaseOpenFailureMessage(), "");
    EXPECT_EQ(Snapshot(file), before);
    // The player runs on without the store.
    EXPECT_EQ(AddBookmark("/a.mp3", 1), -1);
    EXPECT_TRUE(ListBookmarks().empty());
    EXPECT_EQ(LoadPosition("/a.mp3"), 0);
  }
}

TEST(DatabaseRefusedTest, ReadOnlyFileIsRefusedWithAReason) {
  // Root writes through file modes, so the open runs in a child that has given up root.
  TempFolder folder;
  const fs::path shared = folder.path() / "shared";
  fs::create_directories(shared);
  const fs::path file = shared / "Kestrel.db";
  DatabaseTest::RawExecOn(file, "CREATE TABLE file_positions (path TEXT PRIMARY KEY, "
                                "position REAL, last_updated INTEGER);");
  ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(shared.c_str(), 0755), 0);
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  const std::string before = ReadWholeFile(file);

  CloseDatabase();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    if (OpenDatabaseAt(file)) _exit(11);
    _exit(DatabaseOpenProblem() == DatabaseProblem::kReadOnly ? 0 : 12);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot drop root, 11: opened, 12: other reason";
  EXPECT_EQ(ReadWholeFile(file), before);
}

TEST(DatabaseClosedTest, EveryOperationFailsQuietly) {
  CloseDatabase();
  EXPECT_FALSE(SavePosition("/a", 1));
  EXPECT_EQ(LoadPosition("/a"), 0);
  EXPECT_EQ(AddBookmark("/a", 1), -1);
  EXPECT_FALSE(DeleteBookmark(1));
  EXPECT_EQ(AddRadioFavorite("n", "u"), -1);
  EXPECT_FALSE(SetRadioFavoriteOrder({}));
  EXPECT_FALSE(ResetRadioFavoriteOrder());
  EXPECT_EQ(AddSubscription("n", "u", ""), -1);
  EXPECT_FALSE(SetSubscriptionOrder({}));
  EXPECT_EQ(AddScheduledEvent(ScheduledEvent{}), -1);
  AddSongHistory("title");
  ClearSongHistory();
  EXPECT_TRUE(ListRadioFavorites().empty());
  EXPECT_TRUE(ListSubscriptions().empty());
  EXPECT_TRUE(ListScheduledEvents().empty());
  EXPECT_TRUE(ListDueEvents().empty());
  EXPECT_TRUE(ListSongHistory().empty());
}

}  // namespace
}  // namespace kestrel::test
