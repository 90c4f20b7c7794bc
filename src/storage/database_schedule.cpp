#include <ctime>

#include "storage/database.h"
#include "storage/database_statement.h"

// Scheduled events.
namespace kestrel {

using database::Statement;

namespace {

constexpr const char* kEventColumns =
    "SELECT id, name, action, source_type, source_path, radio_station_id, scheduled_time, "
    "repeat_type, enabled, last_run, duration, stop_action FROM scheduled_events ";

// Binds the ten values Add and Update share, from parameter 1.
void BindEventValues(Statement& statement, const ScheduledEvent& event) {
  statement.Bind(1, event.name)
      .Bind(2, event.action)
      .Bind(3, event.source_type)
      .Bind(4, event.source_path)
      .Bind(5, event.radio_station_id)
      .Bind(6, event.scheduled_time)
      .Bind(7, event.repeat_type)
      .Bind(8, event.enabled ? 1 : 0)
      .Bind(9, event.duration)
      .Bind(10, event.stop_action);
}

std::vector<ScheduledEvent> ReadEvents(Statement& statement, bool with_labels) {
  std::vector<ScheduledEvent> events;
  while (statement.Step() == SQLITE_ROW) {
    ScheduledEvent& event = events.emplace_back();
    event.id = statement.Int(0);
    event.name = statement.Text(1);
    event.action = statement.Int(2);
    event.source_type = statement.Int(3);
    event.source_path = statement.Text(4);
    event.radio_station_id = statement.Int(5);
    event.scheduled_time = statement.Int64(6);
    event.repeat_type = statement.Int(7);
    event.enabled = statement.Int(8) != 0;
    event.last_run = statement.Int64(9);
    event.duration = statement.Int(10);
    event.stop_action = statement.Int(11);
    if (with_labels) event.label = ScheduledEventLabel(event);
  }
  return events;
}

const char* ActionWord(int action) {
  switch (action) {
    case 0: return "Play";
    case 1: return "Record";
    case 2: return "Play+Record";
    default: return "Unknown";
  }
}

const char* RepeatWord(int repeat) {
  static constexpr const char* kWords[] = {"Once", "Daily", "Weekly", "Weekdays", "Weekends",
                                           "Monthly"};
  return repeat >= 0 && repeat < 6 ? kWords[repeat] : "Unknown";
}

}  // namespace

int AddScheduledEvent(const ScheduledEvent& event) {
  Statement statement(
      "INSERT INTO scheduled_events (name, action, source_type, source_path, radio_station_id, "
      "scheduled_time, repeat_type, enabled, last_run, duration, stop_action) VALUES (?, ?, ?, ?, "
      "?, ?, ?, ?, 0, ?, ?);");
  BindEventValues(statement, event);
  if (!statement.Run()) return -1;
  return static_cast<int>(sqlite3_last_insert_rowid(database::Connection()));
}

bool UpdateScheduledEvent(int id, const ScheduledEvent& event) {
  Statement statement(
      "UPDATE scheduled_events SET name = ?, action = ?, source_type = ?, source_path = ?, "
      "radio_station_id = ?, scheduled_time = ?, repeat_type = ?, enabled = ?, duration = ?, "
      "stop_action = ? WHERE id = ?;");
  BindEventValues(statement, event);
  return statement.Bind(11, id).Run();
}

bool DeleteScheduledEvent(int id) {
  Statement statement("DELETE FROM scheduled_events WHERE id = ?;");
  return statement.Bind(1, id).Run();
}

bool SetScheduledEventEnabled(int id, bool enabled) {
  Statement statement("UPDATE scheduled_events SET enabled = ? WHERE id = ?;");
  return statement.Bind(1, enabled ? 1 : 0).Bind(2, id).Run();
}

bool SetScheduledEventLastRun(int id, std::int64_t time) {
  Statement statement("UPDATE scheduled_events SET last_run = ? WHERE id = ?;");
  return statement.Bind(1, time).Bind(2, id).Run();
}

bool SetScheduledEventTime(int id, std::int64_t time) {
  Statement statement("UPDATE scheduled_events SET scheduled_time = ? WHERE id = ?;");
  return statement.Bind(1, time).Bind(2, id).Run();
}

std::vector<ScheduledEvent> ListScheduledEvents() {
  const std::string sql = std::string(kEventColumns) + "ORDER BY scheduled_time ASC;";
  Statement statement(sql.c_str());
  return ReadEvents(statement, true);
}

std::vector<ScheduledEvent> ListDueEvents() {
  const std::string sql = std::string(kEventColumns) +
                          "WHERE enabled = 1 AND scheduled_time <= ? AND last_run < "
                          "scheduled_time ORDER BY scheduled_time ASC;";
  Statement statement(sql.c_str());
  statement.Bind(1, database::Now());
  return ReadEvents(statement, false);
}

std::string ScheduledEventLabel(const ScheduledEvent& event) {
  // Fixed English words, as the scheduler list has always shown them.
  std::string label = event.enabled ? "[On] " : "[Off] ";
  label += event.name;
  label += " - ";
  label += ActionWord(event.action);
  label += " @ ";
  const std::time_t when = static_cast<std::time_t>(event.scheduled_time);
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&when, &local) != nullptr) {
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  }
  label += text;
  label += " (";
  label += RepeatWord(event.repeat_type);
  label += ")";
  if (event.duration > 0) label += " [" + std::to_string(event.duration) + " min]";
  return label;
}

}  // namespace kestrel
