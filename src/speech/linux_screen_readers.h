#pragma once

#include <memory>

#include "speech/screen_reader_driver.h"
#include "speech/speech_dispatcher_client.h"

// The Linux screen readers the player knows. Each speaks through speech-dispatcher, the service
// these readers use themselves, so the player's words join the reader's own speech queue.
namespace kestrel {

// Orca, the desktop screen reader: running when the desktop reports a screen reader
// (ScreenReaderEnabledByDesktop) or an "orca" process runs.
std::unique_ptr<ScreenReaderDriver> MakeOrcaDriver(SpeechDispatcherOptions options = {});
// Fenrir, the console screen reader: running when a "fenrir" process runs.
std::unique_ptr<ScreenReaderDriver> MakeFenrirDriver(SpeechDispatcherOptions options = {});

}  // namespace kestrel
