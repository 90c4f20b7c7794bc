#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The frames a second start of Kestrel sends to the running player: the paths of its command
// line, or a bare request to come to the front. A frame is a 4-byte little-endian body length,
// then the body: one code byte and, for paths, the path in UTF-8. The player answers each frame
// with one byte once it has handled it.
namespace kestrel {

enum HandOverCode : std::uint8_t {
  kHandOverFirstPath = 1,    // the first path of the command line
  kHandOverFurtherPath = 2,  // each further path
  kHandOverToFront = 3,      // no path: just come to the front
};

struct HandOverFrame {
  int code = 0;
  std::string path;  // empty for kHandOverToFront
};

// Bodies above this size are refused: no path is that long.
inline constexpr std::size_t kMaxHandOverBody = 32 * 1024;
inline constexpr char kHandOverAck = 1;

std::string EncodeHandOverFrame(const HandOverFrame& frame);

// Reads frames out of a byte stream that arrives in pieces. Anything malformed (an unknown code,
// a size out of range, a path that is not UTF-8 or holds a NUL) makes the stream invalid for good.
class HandOverFrameReader {
 public:
  enum class Status { kNeedMore, kFrame, kInvalid };

  void Append(std::string_view bytes);
  Status Next(HandOverFrame& frame);

 private:
  std::string buffer_;
  bool invalid_ = false;
};

}  // namespace kestrel
