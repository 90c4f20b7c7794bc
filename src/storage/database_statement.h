#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

// Inside the database library only: the connection and a prepared statement that is finalized
// on every path. One statement per operation, parameters always bound, never spliced into SQL.
namespace kestrel::database {

// The open connection, or nullptr.
sqlite3* Connection();
// Seconds since 1970 UTC, from the clock tests may replace.
std::int64_t Now();

class Statement {
 public:
  // Prepares `sql` on the open connection; ok() is false when closed or the prepare fails.
  explicit Statement(const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return statement_ != nullptr; }

  // Parameters count from 1. Text is copied; an empty text binds as empty, never as NULL.
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, int value);
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, double value);

  // One step: SQLITE_ROW, SQLITE_DONE or an error code (SQLITE_MISUSE when not prepared).
  int Step();
  // Runs a statement that returns no rows; true on SQLITE_DONE (also when no row matched).
  bool Run() { return Step() == SQLITE_DONE; }
  // Ready to run again with new parameters.
  void Reset();

  int Int(int column) const { return sqlite3_column_int(statement_, column); }
  std::int64_t Int64(int column) const { return sqlite3_column_int64(statement_, column); }
  double Double(int column) const { return sqlite3_column_double(statement_, column); }
  // A NULL column reads as empty text.
  std::string Text(int column) const;

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// Runs SQL without parameters or rows; true on success.
bool Execute(const char* sql);

// An explicit transaction, rolled back unless Commit succeeds.
class Transaction {
 public:
  Transaction();
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  bool ok() const { return begun_; }
  bool Commit();

 private:
  bool begun_ = false;
};

}  // namespace kestrel::database
