#pragma once

#include <cstdint>

// The commands of the sound output: the codec report, the device menu and its choices.
namespace kestrel {

void CommandPluginReport(int id, std::int64_t lparam);
void CommandDeviceMenu(int id, std::int64_t lparam);
void CommandSelectDevice(int id, std::int64_t lparam);

}  // namespace kestrel
