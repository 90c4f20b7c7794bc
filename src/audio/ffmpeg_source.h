#pragma once

#include <memory>
#include <string>

#include "audio/byte_reader.h"
#include "audio/source.h"

// Decoding through FFmpeg (libavformat/libavcodec/libswresample): interleaved float at the
// source's own rate. OpenFileSource (file_sources.h) is this over a file reader.
namespace kestrel::audio {

// A decoder reading its bytes from `reader`. `name_hint` (a file name or address) helps the
// format guess; it is never opened. nullptr with the last error set, as OpenFileSource.
std::unique_ptr<Source> OpenStreamSource(std::unique_ptr<ByteReader> reader,
                                         const std::string& name_hint = {});

}  // namespace kestrel::audio
