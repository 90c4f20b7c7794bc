#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "speech/screen_reader_driver.h"

// The bridge between the speech queue and the screen reader the user runs. Touched only on the
// user-interface thread (the drain and the shutdown).
namespace kestrel {

// Speaks through the active reader, detecting one when none is active. A reader that fails and no
// longer runs is unloaded and the next running one is tried. False when no reader runs.
bool SpeakOutput(std::string_view text, bool interrupt);
// Same loop as SpeakOutput, stopping the current speech.
bool SilenceSpeech();

// Name of the reader in use, or empty when none is.
std::string ActiveScreenReaderName();

// The platform's driver table in detection order, built beside the platform's drivers.
std::vector<std::unique_ptr<ScreenReaderDriver>> DefaultScreenReaderDrivers();

// What the desktop reports through the probe installed by SetScreenReaderEnabledProbe; false
// while no probe is installed.
bool ScreenReaderEnabledByDesktop();

// Milliseconds of the bridge's clock (TickCount unless a test installed its own).
std::uint32_t SpeechTickCount();

// Test seams. Replacing or resetting the table unloads the old drivers and forgets the active one;
// after a reset the next detection builds the default table again (reading KESTREL_SPEECH anew).
void SetScreenReaderDriversForTesting(std::vector<std::unique_ptr<ScreenReaderDriver>> drivers);
void ResetScreenReaderDrivers();
// Nullptr restores TickCount.
void SetSpeechClockForTesting(std::function<std::uint32_t()> clock);

}  // namespace kestrel
