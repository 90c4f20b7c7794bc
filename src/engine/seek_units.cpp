#include "engine/seek_units.h"

#include "engine/transport.h"
#include "engine/transport_hooks.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/speech.h"

namespace kestrel {
namespace {

constexpr int kDefaultSeekUnit = 1;  // "5 seconds"

bool InRange(int index) { return index >= 0 && index < kSeekUnitCount; }

bool SwitchedOn(int index) { return TheSettings().*kSeekUnits[index].enabled; }

bool PlaylistCanSkip() { return ThePlaylist().items.size() >= 2; }

void SpeakUnitName(int index) { Speak(Translate(kSeekUnits[index].name)); }

int FirstAvailableUnit() {
  for (int index = 0; index < kSeekUnitCount; ++index) {
    if (IsSeekUnitAvailable(index)) return index;
  }
  return -1;
}

int CountAvailableUnits() {
  int count = 0;
  for (int index = 0; index < kSeekUnitCount; ++index) count += IsSeekUnitAvailable(index);
  return count;
}

// The first time unit switched on, in table order; -1 when none is.
int FirstTimeUnitOn() {
  for (int index = 0; index < kSeekUnitCount; ++index) {
    if (kSeekUnits[index].kind == SeekUnitKind::kSeconds && SwitchedOn(index)) return index;
  }
  return -1;
}

void SeekByUnit(int sign) {
  const int current = TheSettings().current_seek;
  const SeekUnitKind kind = InRange(current) ? kSeekUnits[current].kind : SeekUnitKind::kSeconds;
  switch (kind) {
    case SeekUnitKind::kChapter:
      if (!CurrentItemHasChapters()) return;
      if (sign < 0) {
        PreviousChapter();
      } else {
        NextChapter();
      }
      return;
    case SeekUnitKind::kTracks:
      if (PlaylistCanSkip()) {
        SkipTracks(sign * kSeekUnits[current].amount);
      } else if (const int fallback = FirstTimeUnitOn(); fallback >= 0) {
        SeekBy(sign * kSeekUnits[fallback].amount);
      }
      return;
    case SeekUnitKind::kSeconds:
      SeekBy(sign * CurrentSeekAmount());
      return;
  }
}

}  // namespace

int CurrentSeekAmount() {
  const int current = TheSettings().current_seek;
  if (!InRange(current) || kSeekUnits[current].kind == SeekUnitKind::kChapter) return 5;
  return kSeekUnits[current].amount;
}

bool IsSeekUnitAvailable(int index) {
  if (!InRange(index) || !SwitchedOn(index)) return false;
  switch (kSeekUnits[index].kind) {
    case SeekUnitKind::kSeconds:
      return true;
    case SeekUnitKind::kTracks:
      return PlaylistCanSkip();
    case SeekUnitKind::kChapter:
      return CurrentItemHasChapters();
  }
  return false;
}

void CycleSeekUnit(int direction) {
  int& current = TheSettings().current_seek;
  const int first = FirstAvailableUnit();
  if (first < 0) {
    current = kDefaultSeekUnit;
    SpeakUnitName(current);
    return;
  }
  if (!IsSeekUnitAvailable(current)) current = first;
  if (CountAvailableUnits() > 1) {
    const int step = direction < 0 ? -1 : 1;
    for (int index = current + step; InRange(index); index += step) {
      if (IsSeekUnitAvailable(index)) {
        current = index;
        break;
      }
    }
  }
  SpeakUnitName(current);
}

void SpeakSeekUnit() {
  const int current = TheSettings().current_seek;
  if (InRange(current)) SpeakUnitName(current);
}

void SeekBackward() { SeekByUnit(-1); }
void SeekForward() { SeekByUnit(+1); }

}  // namespace kestrel
