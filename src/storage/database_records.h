#pragma once

#include <cstdint>
#include <string>

// The records the database hands back. Text is UTF-8; times are whole seconds since 1970 UTC;
// positions are seconds. The caller owns them: nothing here refers back to the database.
namespace kestrel {

struct BookmarkEntry {
  int id = 0;
  std::string path;
  double position = 0;
  std::string label;  // "file name @ time", what the Bookmarks dialog shows
  std::int64_t created = 0;
};

struct RadioFavorite {
  int id = 0;
  std::string name;
  std::string url;
  std::int64_t created = 0;
  int sort_order = 0;  // 0 while never ordered by hand, then 1..n
};

struct PodcastSubscription {
  int id = 0;
  std::string name;
  std::string feed_url;
  std::string image_url;  // may be empty
  std::int64_t last_updated = 0;
  int sort_order = 0;
};

struct ScheduledEvent {
  int id = 0;
  std::string name;
  int action = 0;  // 0 play, 1 record, 2 play and record
  int source_type = 0;
  std::string source_path;
  int radio_station_id = 0;
  std::int64_t scheduled_time = 0;
  int repeat_type = 0;  // 0 once, 1 daily, 2 weekly, 3 weekdays, 4 weekends, 5 monthly
  bool enabled = true;
  std::int64_t last_run = 0;
  int duration = 0;  // minutes, 0 for no end
  int stop_action = 0;
  std::string label;  // filled by ListScheduledEvents only
};

struct SongHistoryEntry {
  int id = 0;
  std::string title;
  std::int64_t timestamp = 0;
};

}  // namespace kestrel
