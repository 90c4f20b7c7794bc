#include "engine/tag_text.h"

#include <cstdint>

#include "base/utf8.h"
#include "playlist/windows_1252.h"

namespace kestrel::tag_text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string_view UpToNul(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

// The length of the UTF-8 sequence a lead byte announces, 0 for a byte that cannot lead one.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (const unsigned char c : UpToNul(bytes)) AppendUtf8(out, c);
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  auto unit_at = [&](std::size_t i) -> char16_t {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t unit = unit_at(i);
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const char16_t low = unit_at(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
  }
  return out;
}

std::string Utf16WithBomToUtf8(std::string_view bytes) {
  if (bytes.size() >= 2) {
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (first == 0xFE && second == 0xFF) return Utf16ToUtf8(bytes.substr(2), true);
    if (first == 0xFF && second == 0xFE) return Utf16ToUtf8(bytes.substr(2), false);
  }
  return Utf16ToUtf8(bytes, false);
}

std::string CleanUtf8(std::string_view bytes) {
  bytes = UpToNul(bytes);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(bytes[i]));
    if (length > 0 && length <= bytes.size() - i && IsValidUtf8(bytes.substr(i, length))) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      AppendUtf8(out, kReplacement);
      ++i;
    }
  }
  return out;
}

std::string Utf8OrWindows1252(std::string_view bytes) {
  bytes = UpToNul(bytes);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Windows1252ToUtf8(bytes);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace kestrel::tag_text
