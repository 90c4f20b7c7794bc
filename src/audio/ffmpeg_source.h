#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "audio/byte_reader.h"
#include "audio/source.h"

// Decoding through FFmpeg (libavformat/libavcodec/libswresample): interleaved float at the
// source's own rate. OpenFileSource (file_sources.h) is this over a file reader.
namespace kestrel::audio {

// A decoder reading its bytes from `reader`. `name_hint` (a file name or address) helps the
// format guess; it is never opened. nullptr with the last error set, as OpenFileSource.
std::unique_ptr<Source> OpenStreamSource(std::unique_ptr<ByteReader> reader,
                                         const std::string& name_hint = {});

// How an internet stream is opened: quick probing, so playback starts soon, and the addresses a
// demuxer asks for itself (an HLS playlist's segments and reloads) opened through our own reader.
struct NetworkOpenOptions {
  std::string forced_format;  // an FFmpeg demuxer name ("hls", "aac"); empty: probe
  std::int64_t probe_bytes = 64 * 1024;
  std::int64_t analyze_microseconds = 500'000;
  // Decoding the last seconds to find the exact length reads the end of the body, which a
  // download may not have reached yet: off, the container's length stands.
  bool probe_length_at_end = false;
  // Opens an address the demuxer asks for; nullptr (or an empty function) refuses it.
  std::function<std::unique_ptr<ByteReader>(const std::string& url)> open_nested;
};

// A decoder over an internet stream's bytes; `url` is the address, for the demuxer to resolve
// relative addresses against. nullptr with the last error set, as OpenStreamSource.
std::unique_ptr<Source> OpenNetworkStreamSource(std::unique_ptr<ByteReader> reader,
                                                const std::string& url,
                                                const NetworkOpenOptions& options);

// True when these first bytes of a stream are ADTS frames (AAC without a container).
bool LooksLikeAdts(std::string_view first_bytes);

}  // namespace kestrel::audio
