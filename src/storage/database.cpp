#include "storage/database.h"

#include <sqlite3.h>

#include <cstdlib>
#include <ctime>
#include <system_error>

#include "base/app_paths.h"
#include "diag/logger.h"
#include "i18n/translate.h"
#include "storage/database_schema.h"
#include "storage/database_statement.h"
#include "storage/settings_path.h"

namespace kestrel {
namespace fs = std::filesystem;

namespace {

constexpr const char* kDatabaseFileName = "Kestrel.db";
constexpr int kBusyTimeoutMs = 5000;

struct DatabaseState {
  sqlite3* connection = nullptr;
  DatabaseProblem problem = DatabaseProblem::kNone;
  std::int64_t (*clock)() = nullptr;
};

DatabaseState& State() {
  static DatabaseState state;
  return state;
}

DatabaseProblem ProblemOfCode(int code) {
  switch (code & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return DatabaseProblem::kDamaged;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return DatabaseProblem::kReadOnly;
    default:
      return DatabaseProblem::kCannotOpen;
  }
}

// Ends a failed open: the handle closed, the reason kept and logged.
bool FailOpen(sqlite3* db, DatabaseProblem problem, const fs::path& file) {
  LogFormat("DATABASE", "cannot use %s: %s", file.c_str(),
            db ? sqlite3_errmsg(db) : "out of memory");
  sqlite3_close(db);
  State().problem = problem;
  return false;
}

}  // namespace

namespace database {

sqlite3* Connection() { return State().connection; }

std::int64_t Now() {
  if (State().clock) return State().clock();
  return static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace database

fs::path ChooseDatabasePath(std::string_view kestrel_home, const fs::path& executable_dir) {
  if (!kestrel_home.empty()) {
    const fs::path folder(kestrel_home);
    std::error_code ec;
    fs::create_directories(folder, ec);  // a failure shows when the file is opened
    return folder / kDatabaseFileName;
  }
  if (IsInstalledCopyAt(executable_dir)) {
    return KestrelFolder(UserFolder::Data) / kDatabaseFileName;
  }
  return executable_dir / kDatabaseFileName;
}

fs::path DatabaseFilePath() {
  const char* home = std::getenv("KESTREL_HOME");
  return ChooseDatabasePath(home ? home : "", ExecutableDir());
}

bool OpenDatabase() {
  if (IsDatabaseOpen()) return true;
  return OpenDatabaseAt(DatabaseFilePath());
}

bool OpenDatabaseAt(const fs::path& file) {
  DatabaseState& state = State();
  if (state.connection != nullptr) return true;

  sqlite3* db = nullptr;
  const int opened =
      sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (opened != SQLITE_OK) return FailOpen(db, ProblemOfCode(opened), file);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // A write-protected file opens for reading only; every save would then fail unseen.
  if (sqlite3_db_readonly(db, "main") == 1) return FailOpen(db, DatabaseProblem::kReadOnly, file);

  // The version is read before anything is written, so a newer file is not touched at all.
  int version = 0;
  const int read = database::ReadSchemaVersion(db, &version);
  if (read != SQLITE_OK) return FailOpen(db, ProblemOfCode(read), file);
  if (version > kDatabaseSchemaVersion) {
    LogFormat("DATABASE", "schema version %d is newer than %d", version, kDatabaseSchemaVersion);
    return FailOpen(db, DatabaseProblem::kNewerSchema, file);
  }

  // Readers never wait for the writer; a failure (e.g. no shared memory) keeps the old journal.
  sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);

  const int applied = database::ApplySchema(db);
  if (applied != SQLITE_OK) return FailOpen(db, ProblemOfCode(applied), file);

  state.connection = db;
  state.problem = DatabaseProblem::kNone;
  return true;
}

void CloseDatabase() {
  DatabaseState& state = State();
  if (state.connection == nullptr) return;
  sqlite3_close(state.connection);
  state.connection = nullptr;
}

bool IsDatabaseOpen() { return State().connection != nullptr; }

DatabaseProblem DatabaseOpenProblem() { return State().problem; }

std::string DatabaseOpenFailureMessage() {
  const char* reason = nullptr;
  switch (State().problem) {
    case DatabaseProblem::kNone:
      return {};
    case DatabaseProblem::kCannotOpen:
      reason = "The database could not be opened.";
      break;
    case DatabaseProblem::kReadOnly:
      reason = "The database file cannot be written.";
      break;
    case DatabaseProblem::kDamaged:
      reason = "The database file is damaged.";
      break;
    case DatabaseProblem::kNewerSchema:
      reason = "The database was made by a newer version of Kestrel and was left untouched.";
      break;
  }
  return Translate(reason) + " " +
         Translate("Positions, bookmarks, favorites, subscriptions, scheduled events and song "
                   "history are unavailable until Kestrel is restarted.");
}

void SetDatabaseClockForTesting(std::int64_t (*now)()) { State().clock = now; }

}  // namespace kestrel
