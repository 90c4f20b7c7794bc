#include "app/hand_over_frame.h"

#include "base/utf8.h"

namespace kestrel {

std::string EncodeHandOverFrame(const HandOverFrame& frame) {
  const std::uint32_t body = static_cast<std::uint32_t>(1 + frame.path.size());
  std::string bytes;
  bytes.reserve(4 + body);
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((body >> shift) & 0xFF));
  bytes.push_back(static_cast<char>(frame.code));
  bytes += frame.path;
  return bytes;
}

void HandOverFrameReader::Append(std::string_view bytes) {
  if (invalid_) return;
  // Never hold more than one whole frame and a header: a sender that streams garbage is cut off.
  if (buffer_.size() + bytes.size() > 2 * (kMaxHandOverBody + 4)) {
    invalid_ = true;
    buffer_.clear();
    return;
  }
  buffer_.append(bytes);
}

HandOverFrameReader::Status HandOverFrameReader::Next(HandOverFrame& frame) {
  if (invalid_) return Status::kInvalid;
  if (buffer_.size() < 4) return Status::kNeedMore;
  std::uint32_t body = 0;
  for (int i = 0; i < 4; ++i) body |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(buffer_[i])) << (8 * i);
  if (body < 1 || body > kMaxHandOverBody) {
    invalid_ = true;
    return Status::kInvalid;
  }
  if (buffer_.size() < 4 + body) return Status::kNeedMore;

  const int code = static_cast<std::uint8_t>(buffer_[4]);
  std::string path = buffer_.substr(5, body - 1);
  buffer_.erase(0, 4 + body);

  const bool is_path = code == kHandOverFirstPath || code == kHandOverFurtherPath;
  const bool valid = is_path ? !path.empty() && path.find('\0') == std::string::npos && IsValidUtf8(path)
                             : code == kHandOverToFront && path.empty();
  if (!valid) {
    invalid_ = true;
    buffer_.clear();
    return Status::kInvalid;
  }
  frame.code = code;
  frame.path = std::move(path);
  return Status::kFrame;
}

}  // namespace kestrel
