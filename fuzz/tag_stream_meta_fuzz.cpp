// Internet stream headers and ICY metadata over arbitrary bytes: header look-up, the stream-title
// field, and splitting a stream title into artist and title.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "engine/tag_stream_meta.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  const auto bytes = std::make_unique<char[]>(size ? size : 1);
  std::copy(data, data + size, bytes.get());
  const std::string_view block(bytes.get(), size);

  for (const char* header : {"icy-name", "icy-genre", "icy-br"}) {
    if (!IsValidUtf8(stream_meta::HeaderValue(block, header))) __builtin_trap();
  }
  const std::string title = stream_meta::FieldValue(block, "StreamTitle");
  if (!IsValidUtf8(title)) __builtin_trap();
  // Splitting takes pieces of its input: never more than it was given.
  for (const std::string_view text : {std::string_view(title), block}) {
    const auto parts = stream_meta::SplitStreamTitle(text);
    if (parts.artist.size() > text.size() || parts.title.size() > text.size()) __builtin_trap();
    if (stream_meta::JoinedStreamTitle(text).size() > 2 * text.size() + 3) __builtin_trap();
  }
  return 0;
}
