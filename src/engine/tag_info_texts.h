#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The format and duration texts of what plays, in the active language.
namespace kestrel {

// Puts `values` in place of the "%d", "%s" and "%.0f" placeholders of a translated text, in
// order; "%%" is a percent sign. The text comes from our own tables but is never used as a printf
// format: a placeholder without a value is left out, anything else is copied.
std::string FillPlaceholders(std::string_view format, std::initializer_list<std::string_view> values);

// "mono", "stereo", "multi-channel" (spoken) or "Mono", "Stereo", "Multi-channel" (shown), in the
// active language.
std::string ChannelsText(int channels, bool capitalised);

// What the bitrate key says: "128 kbps, 44100 Hz, stereo" with a bitrate above 0 (truncated to
// whole kbit/s), else "32-bit, 44100 Hz, stereo" with the sample size.
std::string SpokenFormatText(double bitrate_kbps, int frequency, int channels, int sample_bits);

// The bitrate shown in the tag window: "128 kbps, 44100 Hz, Stereo" (rounded), or "Unknown
// bitrate" when it is not above 0.
std::string ShownFormatText(double bitrate_kbps, int frequency, int channels);

// "Duration: 1 hours, 2 minutes, 5 seconds", "Duration: 2 minutes, 5 seconds" or
// "Duration: 5 seconds" for the whole seconds of `seconds`.
std::string SpokenDurationText(double seconds);

}  // namespace kestrel
