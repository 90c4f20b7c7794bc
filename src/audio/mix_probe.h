#pragma once

#include <cstdint>

// What tests and benchmarks may observe of the device callback: whether the current thread is
// inside it (an allocation counter checks that nothing is allocated there) and how many times
// it has run.
namespace kestrel::audio {

bool InsideMixOutput();
std::uint64_t MixOutputCalls();

}  // namespace kestrel::audio
