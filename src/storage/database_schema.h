#pragma once

#include <sqlite3.h>

// Inside the database library only: the tables and the upgrades of older files.
namespace kestrel::database {

// Checks the file can be read and puts PRAGMA user_version into *version; an SQLite result
// code (SQLITE_NOTADB or SQLITE_CORRUPT for a damaged file). Writes nothing.
int ReadSchemaVersion(sqlite3* db, int* version);

// Creates what is missing (tables, and the columns older versions lacked) and records the
// current schema version, all in one transaction, so it is safe at every start and an
// interrupted upgrade leaves the file as it was. SQLITE_OK, else the failing result code.
int ApplySchema(sqlite3* db);

}  // namespace kestrel::database
