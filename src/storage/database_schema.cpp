#include "storage/database_schema.h"

#include <string>

#include "diag/logger.h"
#include "storage/database.h"

namespace kestrel::database {
namespace {

// The tables as this program creates them. file_positions comes first: without it the store is
// not worth opening.
constexpr const char* kFilePositionsTable =
    "CREATE TABLE IF NOT EXISTS file_positions (  path TEXT PRIMARY KEY,  position REAL,  "
    "last_updated INTEGER);";

constexpr const char* kOtherTables[] = {
    "CREATE TABLE IF NOT EXISTS bookmarks (  id INTEGER PRIMARY KEY AUTOINCREMENT,  path TEXT NOT "
    "NULL,  position REAL NOT NULL,  created INTEGER NOT NULL);",
    "CREATE TABLE IF NOT EXISTS radio_favorites (  id INTEGER PRIMARY KEY AUTOINCREMENT,  name "
    "TEXT NOT NULL,  url TEXT NOT NULL,  created INTEGER NOT NULL);",
    "CREATE TABLE IF NOT EXISTS podcast_subscriptions (  id INTEGER PRIMARY KEY AUTOINCREMENT,  "
    "name TEXT NOT NULL,  feed_url TEXT NOT NULL UNIQUE,  image_url TEXT,  last_updated INTEGER "
    "NOT NULL);",
    "CREATE TABLE IF NOT EXISTS scheduled_events (  id INTEGER PRIMARY KEY AUTOINCREMENT,  name "
    "TEXT NOT NULL,  action INTEGER NOT NULL,  source_type INTEGER NOT NULL,  source_path TEXT NOT "
    "NULL,  radio_station_id INTEGER DEFAULT 0,  scheduled_time INTEGER NOT NULL,  repeat_type "
    "INTEGER DEFAULT 0,  enabled INTEGER DEFAULT 1,  last_run INTEGER DEFAULT 0,  duration "
    "INTEGER DEFAULT 0,  stop_action INTEGER DEFAULT 0);",
};

// Columns that earlier versions of the file lack, added only where missing.
struct AddedColumn {
  const char* table;
  const char* column;
  const char* sql;
};

constexpr AddedColumn kAddedColumns[] = {
    {"scheduled_events", "duration",
     "ALTER TABLE scheduled_events ADD COLUMN duration INTEGER DEFAULT 0;"},
    {"scheduled_events", "stop_action",
     "ALTER TABLE scheduled_events ADD COLUMN stop_action INTEGER DEFAULT 0;"},
    {"radio_favorites", "sort_order",
     "ALTER TABLE radio_favorites ADD COLUMN sort_order INTEGER DEFAULT 0;"},
    {"podcast_subscriptions", "sort_order",
     "ALTER TABLE podcast_subscriptions ADD COLUMN sort_order INTEGER DEFAULT 0;"},
};

constexpr const char* kSongHistoryTable =
    "CREATE TABLE IF NOT EXISTS song_history (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT "
    "NULL, timestamp INTEGER NOT NULL);";

int Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// A failure of a secondary table or column costs only that list, as before; it is logged.
void ExecOrLog(sqlite3* db, const char* sql) {
  if (Exec(db, sql) != SQLITE_OK) LogFormat("DATABASE", "%s: %s", sql, sqlite3_errmsg(db));
}

bool HasColumn(sqlite3* db, const char* table, const char* column) {
  sqlite3_stmt* statement = nullptr;
  bool found = false;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM pragma_table_info(?) WHERE name = ?;", -1,
                         &statement, nullptr) == SQLITE_OK) {
    sqlite3_bind_text(statement, 1, table, -1, SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, column, -1, SQLITE_STATIC);
    found = sqlite3_step(statement) == SQLITE_ROW;
  }
  sqlite3_finalize(statement);
  return found;
}

// The code of the failure just seen, never SQLITE_OK.
int FailureCode(sqlite3* db) {
  const int code = sqlite3_extended_errcode(db);
  return code != SQLITE_OK ? code : SQLITE_ERROR;
}

}  // namespace

int ReadSchemaVersion(sqlite3* db, int* version) {
  // Reading the table list parses the first page, so a damaged file shows here, before anything
  // is written to it.
  sqlite3_stmt* statement = nullptr;
  int result = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master;", -1, &statement,
                                  nullptr);
  if (result == SQLITE_OK) result = sqlite3_step(statement);
  sqlite3_finalize(statement);
  statement = nullptr;
  if (result != SQLITE_ROW) {
    return result == SQLITE_DONE || result == SQLITE_OK ? SQLITE_ERROR : result;
  }

  result = sqlite3_prepare_v2(db, "PRAGMA user_version;", -1, &statement, nullptr);
  if (result == SQLITE_OK) {
    result = sqlite3_step(statement);
    if (result == SQLITE_ROW) {
      *version = sqlite3_column_int(statement, 0);
      result = SQLITE_OK;
    }
  }
  sqlite3_finalize(statement);
  return result;
}

int ApplySchema(sqlite3* db) {
  int result = Exec(db, "BEGIN IMMEDIATE;");
  if (result != SQLITE_OK) return FailureCode(db);

  result = Exec(db, kFilePositionsTable);
  if (result == SQLITE_OK) {
    for (const char* sql : kOtherTables) ExecOrLog(db, sql);
    for (const AddedColumn& added : kAddedColumns) {
      if (!HasColumn(db, added.table, added.column)) ExecOrLog(db, added.sql);
    }
    ExecOrLog(db, kSongHistoryTable);
    const std::string set_version =
        "PRAGMA user_version = " + std::to_string(kDatabaseSchemaVersion) + ";";
    result = Exec(db, set_version.c_str());
  }
  if (result == SQLITE_OK) result = Exec(db, "COMMIT;");
  if (result != SQLITE_OK) {
    result = FailureCode(db);
    Exec(db, "ROLLBACK;");
  }
  return result;
}

}  // namespace kestrel::database
