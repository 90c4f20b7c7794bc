#pragma once

#include <memory>

#include "audio/source.h"

namespace kestrel::audio {

// A SoundTouch stretcher over another source: tempo and pitch change independently. It takes
// the tempo attributes (Attribute::kTempo...). Its length and positions are in the input's time;
// tags and bitrate are the input's. At tempo 0 and pitch 0 (and an unchanged tempo frequency)
// samples pass through untouched.
std::unique_ptr<Source> CreateTempoSource(std::shared_ptr<Source> input);

}  // namespace kestrel::audio
