#pragma once

#include <functional>
#include <string_view>

// Everything the player tells the user goes through Speak. Texts are queued from any thread and
// spoken by the user-interface thread on its next turn, joined into one utterance.
namespace kestrel {

// Queues a UTF-8 text. Dropped while the queue is disabled or no main window exists.
void Speak(std::string_view text, bool interrupt = true);

// Called once while the main window is being created; speech before this is dropped.
void EnableSpeechQueue();
// Handler of the drain message on the user-interface thread.
void DrainSpeechQueue();
// Last step of shutdown: silences the reader and disables the queue.
void ShutdownSpeech();

// Whether the desktop reports a running screen reader (AT-SPI's ScreenReaderEnabled). Installed
// by the application layer, which owns the D-Bus connection; without it only process detection
// is used.
void SetScreenReaderEnabledProbe(std::function<bool()> probe);

}  // namespace kestrel
