#include "storage/database_statement.h"

namespace kestrel::database {

Statement::Statement(const char* sql) {
  sqlite3* db = Connection();
  if (db == nullptr) return;
  if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, std::string_view text) {
  // A non-null pointer even for empty text, so it binds as '' rather than NULL.
  static const char kEmpty[] = "";
  if (statement_) {
    sqlite3_bind_text(statement_, index, text.empty() ? kEmpty : text.data(),
                      static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

Statement& Statement::Bind(int index, int value) {
  if (statement_) sqlite3_bind_int(statement_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
  if (statement_) sqlite3_bind_int64(statement_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, double value) {
  if (statement_) sqlite3_bind_double(statement_, index, value);
  return *this;
}

int Statement::Step() { return statement_ ? sqlite3_step(statement_) : SQLITE_MISUSE; }

void Statement::Reset() {
  if (statement_) {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
}

std::string Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (text == nullptr) return {};
  return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

bool Execute(const char* sql) {
  sqlite3* db = Connection();
  return db != nullptr && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Transaction::Transaction() { begun_ = Execute("BEGIN IMMEDIATE;"); }

Transaction::~Transaction() {
  if (begun_) Execute("ROLLBACK;");
}

bool Transaction::Commit() {
  if (!begun_) return false;
  if (!Execute("COMMIT;")) return false;  // the destructor rolls back
  begun_ = false;
  return true;
}

}  // namespace kestrel::database
