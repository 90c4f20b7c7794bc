#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio.h"
#include "audio/source.h"

// The source of an internet stream's channel: the download (http_stream_reader.h) feeds FFmpeg,
// which decodes on the source's own thread into a small PCM buffer; Read only takes what is
// there, so the layer's update thread never waits on the network.
namespace kestrel::audio {

struct UrlSourceSettings {
  int timeout_ms = 5000;
  int buffer_ms = 5000;
  int prebuffer_percent = 75;
  std::string user_agent;
  std::uint32_t flags = 0;  // kStreamBlock, kStreamStatus
  UrlStreamOptions options;
};

// Connects, reads the response and opens the decoder; nullptr with `*error` set (the codes of
// CreateUrlStream).
std::unique_ptr<Source> OpenUrlSource(const std::string& url, const UrlSourceSettings& settings,
                                      int* error);

}  // namespace kestrel::audio
