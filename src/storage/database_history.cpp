#include "storage/database.h"
#include "storage/database_statement.h"

// The song history: stream titles as they were heard, the newest 100.
namespace kestrel {

using database::Statement;

void AddSongHistory(const std::string& title) {
  if (!IsDatabaseOpen() || title.empty()) return;
  {
    Statement newest("SELECT title FROM song_history ORDER BY id DESC LIMIT 1;");
    if (newest.Step() == SQLITE_ROW && newest.Text(0) == title) return;
  }
  Statement insert("INSERT INTO song_history (title, timestamp) VALUES (?, ?);");
  insert.Bind(1, title).Bind(2, database::Now()).Run();
  database::Execute(
      "DELETE FROM song_history WHERE id NOT IN (SELECT id FROM song_history ORDER BY id DESC "
      "LIMIT 100);");
}

std::vector<SongHistoryEntry> ListSongHistory() {
  Statement statement("SELECT id, title, timestamp FROM song_history ORDER BY id DESC LIMIT 100;");
  std::vector<SongHistoryEntry> history;
  while (statement.Step() == SQLITE_ROW) {
    SongHistoryEntry& entry = history.emplace_back();
    entry.id = statement.Int(0);
    entry.title = statement.Text(1);
    entry.timestamp = statement.Int64(2);
  }
  return history;
}

void ClearSongHistory() { database::Execute("DELETE FROM song_history;"); }

}  // namespace kestrel
