#pragma once

#include <memory>
#include <vector>

#include "audio/device_list.h"
#include "audio/output_device.h"

// Output through SDL2 audio (PipeWire, PulseAudio, ALSA...).
namespace kestrel::audio {

// Appends SDL's output devices: first "Default", which follows the system's default device
// (SDL cannot say which named device that is), then every device SDL names. False with
// kErrorDriver when SDL's audio cannot start.
bool AppendSdlDevices(std::vector<DeviceEntry>* devices);

// A device for one entry (not started yet).
std::unique_ptr<OutputDevice> CreateSdlDevice(const DeviceEntry& entry, int mix_rate);

// Shuts SDL's audio down when nothing uses it, so the next listing sees the system afresh.
void ReleaseSdlAudio();

}  // namespace kestrel::audio
