// Frames from another process: any byte stream, delivered in arbitrary pieces, must either yield
// well-formed frames or mark the stream invalid, never read out of bounds or grow without limit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/hand_over_frame.h"
#include "base/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kestrel::HandOverFrameReader;
  HandOverFrameReader reader;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first byte picks the piece size, so split frames are exercised too.
  const std::size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
  for (std::size_t offset = 0; offset < bytes.size(); offset += piece) {
    reader.Append(bytes.substr(offset, piece));
    kestrel::HandOverFrame frame;
    for (;;) {
      const auto status = reader.Next(frame);
      if (status != HandOverFrameReader::Status::kFrame) break;
      const bool is_path = frame.code == kestrel::kHandOverFirstPath || frame.code == kestrel::kHandOverFurtherPath;
      if (is_path && (frame.path.empty() || !kestrel::IsValidUtf8(frame.path))) __builtin_trap();
      if (!is_path && (frame.code != kestrel::kHandOverToFront || !frame.path.empty())) __builtin_trap();
    }
  }
  return 0;
}
