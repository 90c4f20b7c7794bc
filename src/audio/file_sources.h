#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/source.h"

// Sources of local files: FFmpeg for every format it decodes, FluidSynth for MIDI.
namespace kestrel::audio {

// A decoder for the file, or nullptr with the last error set (kErrorFileOpen: cannot be opened;
// kErrorFileForm: not a format we decode; kErrorCodec: the codec is missing; kErrorNotAudio: no
// audio stream).
std::unique_ptr<Source> OpenFileSource(const std::string& path);

// A MIDI synthesiser for the file with the SoundFont (empty: none, so it plays silent),
// `max_voices` polyphony and, with `sinc`, the best interpolation.
std::unique_ptr<Source> OpenMidiSource(const std::string& path, const std::string& soundfont,
                                       int max_voices, bool sinc);

}  // namespace kestrel::audio
