#pragma once

#include <functional>
#include <string>
#include <vector>

#include "audio/audio.h"

// The report of which codec families this build can play (command "Loaded Plugins"): the
// families the decoders support, then those they do not. Not translated: the names are formats.
namespace kestrel {

// "Loaded: FLAC, Opus, ...\nFailed: CD audio" — "(none)" stands for an empty list.
std::string PluginReport();
// The same text for a given list of families, in its order.
std::string PluginReportOf(const std::vector<audio::CodecFamily>& families);

// Tests choose which families are available; nullptr restores the audio layer's answer.
using CodecFamilySource = std::function<std::vector<audio::CodecFamily>()>;
void SetCodecFamilySourceForTesting(CodecFamilySource source);

}  // namespace kestrel
