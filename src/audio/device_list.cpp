#include "audio/device_list.h"

#include <cstdlib>
#include <cstring>

#include "audio/sdl_device.h"

namespace kestrel::audio {

bool UsingNullDevices() {
  const char* choice = std::getenv("KESTREL_AUDIO");
  return choice && std::strcmp(choice, "null") == 0;
}

bool ListDevices(std::vector<DeviceEntry>* devices) {
  devices->clear();
  DeviceEntry no_sound;
  no_sound.name = "No sound";
  no_sound.kind = DeviceKind::kNoSound;
  devices->push_back(no_sound);
  if (UsingNullDevices()) {
    for (int i = 1; i <= 2; ++i) {
      DeviceEntry entry;
      entry.name = "Null output " + std::to_string(i);
      entry.driver = "null";
      entry.is_default = i == 1;
      entry.kind = DeviceKind::kNull;
      devices->push_back(entry);
    }
    return true;
  }
  return AppendSdlDevices(devices);
}

}  // namespace kestrel::audio
