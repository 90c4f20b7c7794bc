#pragma once

#include <array>

#include "storage/settings.h"

// The seek unit: how far the seek keys move. Thirteen units in a fixed order, each switched on
// or off in the options; [Movement] CurrentSeek holds the index of the one in use.
// User-interface thread only.
namespace kestrel {

enum class SeekUnitKind { kSeconds, kTracks, kChapter };

struct SeekUnit {
  int amount;
  SeekUnitKind kind;
  const char* name;  // spoken through Translate
  bool Settings::*enabled;
};

inline constexpr int kChapterSeekUnit = 12;

inline constexpr std::array<SeekUnit, kSeekUnitCount> kSeekUnits = {{
    {1, SeekUnitKind::kSeconds, "1 second", &Settings::seek_1s},
    {5, SeekUnitKind::kSeconds, "5 seconds", &Settings::seek_5s},
    {10, SeekUnitKind::kSeconds, "10 seconds", &Settings::seek_10s},
    {30, SeekUnitKind::kSeconds, "30 seconds", &Settings::seek_30s},
    {60, SeekUnitKind::kSeconds, "1 minute", &Settings::seek_1m},
    {300, SeekUnitKind::kSeconds, "5 minutes", &Settings::seek_5m},
    {600, SeekUnitKind::kSeconds, "10 minutes", &Settings::seek_10m},
    {1800, SeekUnitKind::kSeconds, "30 minutes", &Settings::seek_30m},
    {3600, SeekUnitKind::kSeconds, "1 hour", &Settings::seek_1h},
    {1, SeekUnitKind::kTracks, "1 track", &Settings::seek_1t},
    {5, SeekUnitKind::kTracks, "5 tracks", &Settings::seek_5t},
    {10, SeekUnitKind::kTracks, "10 tracks", &Settings::seek_10t},
    {1, SeekUnitKind::kChapter, "1 chapter", &Settings::chapter_seek},
}};

// The amount of the current unit (seconds, or tracks for a track unit); 5 for the chapter unit
// or an index out of range.
int CurrentSeekAmount();

// A unit can be chosen when it is switched on; track units only while the playlist holds at
// least 2 items, the chapter unit only while the current item has chapters.
bool IsSeekUnitAvailable(int index);

// Moves the current unit to the next available one in `direction` (-1 or +1), without wrapping
// around at either end, and speaks its name. With one unit available it is spoken and kept;
// with none, the unit becomes "5 seconds".
void CycleSeekUnit(int direction);
// Speaks the name of the current unit.
void SpeakSeekUnit();

// Seek by the current unit: chapters move to the previous or next chapter; tracks skip through
// the playlist (with fewer than 2 items, the first time unit switched on is used instead); time
// units seek by their seconds.
void SeekBackward();
void SeekForward();

}  // namespace kestrel
