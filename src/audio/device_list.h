#pragma once

#include <string>
#include <vector>

// The devices the layer offers, in the numbering users see: entry 0 is the no-sound device,
// real (or null) devices follow from 1.
namespace kestrel::audio {

enum class DeviceKind { kNoSound, kNull, kSdl };

struct DeviceEntry {
  std::string name;
  std::string driver;
  bool enabled = true;
  bool is_default = false;
  DeviceKind kind = DeviceKind::kNoSound;
  std::string backend_name;  // the name SDL opens; empty for the system default
};

// True when KESTREL_AUDIO=null asks for the null devices instead of the sound card.
bool UsingNullDevices();

// Lists the devices. False with the last error set when no driver can start (then only the
// no-sound device is listed).
bool ListDevices(std::vector<DeviceEntry>* devices);

}  // namespace kestrel::audio
