#pragma once

#include <cstdint>

namespace kestrel {

// Milliseconds since an arbitrary start, 32 bits, wrapping: compare two ticks by unsigned
// difference, never by order.
std::uint32_t TickCount();

}  // namespace kestrel
