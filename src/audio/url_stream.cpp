// Channels over internet streams.
#include "audio/audio.h"
#include "audio/layer.h"
#include "audio/url_source.h"

namespace kestrel::audio {

Handle CreateUrlStream(const std::string& url, std::uint32_t flags,
                       const UrlStreamOptions& options) {
  Layer& layer = TheLayer();
  UrlSourceSettings settings;
  settings.timeout_ms = layer.net_timeout_ms.load();
  settings.buffer_ms = layer.net_buffer_ms.load();
  settings.prebuffer_percent = layer.net_prebuffer_percent.load();
  settings.user_agent = NetAgent();
  settings.flags = flags;
  settings.options = options;
  int error = kOk;
  std::unique_ptr<Source> source = OpenUrlSource(url, settings, &error);
  if (!source) return Fail(error == kOk ? kErrorFileOpen : error), 0;
  ClearError();
  return CreateSourceStream(std::move(source), flags);
}

}  // namespace kestrel::audio
