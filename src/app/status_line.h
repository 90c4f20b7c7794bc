#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/pending_steps.h"

class QMainWindow;

// The status bar of the main window: three parts telling the position, the volume and the
// playback state. A screen reader reads it on demand, so it is kept current four times a second
// and after every transport or volume change. User-interface thread only.
namespace kestrel {

struct StatusTexts {
  std::string position;  // "1:05 / 3:00", "--:-- / --:--" without a known length
  std::string volume;    // "Vol: 100%"
  std::string state;     // "Playing | 128 kbps | REC"
  bool operator==(const StatusTexts&) const = default;
};

// The three texts for what plays now, in the active language.
StatusTexts CurrentStatusTexts();

// Adds the three parts to the window's status bar (position 200 pixels wide, volume 100, the
// state to the window's edge).
void CreateStatusBar(QMainWindow& window);

// Sets the parts from CurrentStatusTexts. Nothing without a status bar or while an item is being
// opened; a part whose text has not changed is left alone, so a screen reader hears no change.
void RefreshStatusLine();

// What the status bar shows now (empty texts without one).
StatusTexts ShownStatusTexts();
// Replaces where the bar learns of video playback and of a recording in progress (the video
// engine's and the recorder's answers); an empty function restores the player's own.
void SetVideoAndRecordingSourcesForTesting(std::function<pending::VideoPlayback()> video,
                                           std::function<bool()> recording);

// How many times RefreshStatusLine has been asked to run.
std::uint64_t StatusLineRefreshCount();

}  // namespace kestrel
