#include "engine/chapter_text.h"

#include <cstdint>
#include <string>

#include "base/utf8.h"
#include "engine/chapter_list.h"

namespace kestrel::chapter_text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The length of the valid UTF-8 sequence starting at `bytes[at]`, or 0 when it is not one.
std::size_t ValidSequenceLength(std::string_view bytes, std::size_t at) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (at + length > bytes.size()) length = bytes.size() - at;
  for (std::size_t candidate = length; candidate >= 1; --candidate) {
    if (IsValidUtf8(bytes.substr(at, candidate))) return candidate;
  }
  return 0;
}

}  // namespace

std::string SanitizedUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = ValidSequenceLength(bytes, at);
    if (length == 0) {
      AppendUtf8(out, kReplacement);
      ++at;
    } else {
      out.append(bytes.substr(at, length));
      at += length;
    }
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (const char byte : bytes) AppendUtf8(out, static_cast<unsigned char>(byte));
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  std::size_t at = 0;
  if (bytes.size() >= 2) {
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (first == 0xFE && second == 0xFF) {
      big_endian = true;
      at = 2;
    } else if (first == 0xFF && second == 0xFE) {
      big_endian = false;
      at = 2;
    }
  }
  auto unit_at = [&](std::size_t offset) -> char16_t {
    const auto a = static_cast<unsigned char>(bytes[offset]);
    const auto b = static_cast<unsigned char>(bytes[offset + 1]);
    return static_cast<char16_t>(big_endian ? (a << 8) | b : (b << 8) | a);
  };

  std::string out;
  while (at + 2 <= bytes.size()) {
    const char16_t unit = unit_at(at);
    at += 2;
    if (unit == 0) break;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (at + 2 <= bytes.size()) {
        const char16_t low = unit_at(at);
        if (low >= 0xDC00 && low <= 0xDFFF) {
          at += 2;
          AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00));
          continue;
        }
      }
      AppendUtf8(out, kReplacement);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace kestrel::chapter_text

namespace kestrel {

std::string EnglishChapterName(int number) { return "Chapter " + std::to_string(number); }

}  // namespace kestrel
