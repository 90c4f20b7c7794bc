#pragma once

#include <string>

// What the player says about an effect parameter's value: its name, the value in the row's
// spoken form and its unit, as in "Volume 85%", "Pitch +2 semitones", "Rate 1.25x",
// "3D Mode: Binaural". Names and units are spoken as they stand, never translated.
namespace kestrel {

// The text for `id` at `value`, at most 63 characters; empty for an id outside 0-37.
std::string ParameterValueText(int id, float value);

}  // namespace kestrel
