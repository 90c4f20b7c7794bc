#pragma once

#include <functional>

// The layer's sync thread: sync callbacks (and the freeing of auto-free channels) run here, one
// after the other, never on the update thread or the device callback.
namespace kestrel::audio {

void PostToSyncThread(std::function<void()> task);
bool OnSyncThread();

}  // namespace kestrel::audio
