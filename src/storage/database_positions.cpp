#include <cstdio>

#include "storage/database.h"
#include "storage/database_statement.h"

// Remembered positions and bookmarks.
namespace kestrel {

using database::Statement;

bool SavePosition(const std::string& path, double position) {
  Statement statement(
      "INSERT OR REPLACE INTO file_positions (path, position, last_updated) VALUES (?, ?, ?);");
  return statement.Bind(1, path).Bind(2, position).Bind(3, database::Now()).Run();
}

double LoadPosition(const std::string& path) {
  Statement statement("SELECT position FROM file_positions WHERE path = ?;");
  statement.Bind(1, path);
  return statement.Step() == SQLITE_ROW ? statement.Double(0) : 0.0;
}

int AddBookmark(const std::string& path, double position) {
  Statement statement("INSERT INTO bookmarks (path, position, created) VALUES (?, ?, ?);");
  if (!statement.Bind(1, path).Bind(2, position).Bind(3, database::Now()).Run()) return -1;
  return static_cast<int>(sqlite3_last_insert_rowid(database::Connection()));
}

bool DeleteBookmark(int id) {
  Statement statement("DELETE FROM bookmarks WHERE id = ?;");
  return statement.Bind(1, id).Run();
}

std::vector<BookmarkEntry> ListBookmarks() {
  // Newest first; bookmarks of the same second newest first too.
  Statement statement(
      "SELECT id, path, position, created FROM bookmarks ORDER BY created DESC, id DESC;");
  std::vector<BookmarkEntry> bookmarks;
  while (statement.Step() == SQLITE_ROW) {
    BookmarkEntry& entry = bookmarks.emplace_back();
    entry.id = statement.Int(0);
    entry.path = statement.Text(1);
    entry.position = statement.Double(2);
    entry.created = statement.Int64(3);
    entry.label = BookmarkLabel(entry.path, entry.position);
  }
  return bookmarks;
}

std::string BookmarkLabel(const std::string& path, double position) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  // Truncated toward zero; a negative or absurd position reads as 0 rather than overflowing.
  const long long seconds =
      position > 0 && position < 9.0e15 ? static_cast<long long>(position) : 0;
  char time[48];
  if (seconds / 3600 <= 0) {
    std::snprintf(time, sizeof time, "%lld:%02lld", (seconds % 3600) / 60, seconds % 60);
  } else {
    std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", seconds / 3600, (seconds % 3600) / 60,
                  seconds % 60);
  }
  return file + " @ " + time;
}

}  // namespace kestrel
