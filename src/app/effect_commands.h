#pragma once

#include <cstdint>

// The keys of the effect parameters: [ and ] choose, Up and Down adjust, Backspace resets,
// Ctrl+Home/End go to the limits, Ctrl+1..4 put volume, pitch, tempo, rate in the cycle.
namespace kestrel {

void CommandCycleEffect(int id, std::int64_t lparam);
void CommandAdjustEffect(int id, std::int64_t lparam);
void CommandToggleStreamEffect(int id, std::int64_t lparam);

}  // namespace kestrel
