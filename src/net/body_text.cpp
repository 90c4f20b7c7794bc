#include "net/body_text.h"

#include <cstdint>

namespace kestrel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed sequence starting at `at`, or 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  const std::size_t left = text.size() - at;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char second_min = 0x80, second_max = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) second_min = 0xA0;  // no overlong forms
    if (lead == 0xED) second_max = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) second_min = 0x90;
    if (lead == 0xF4) second_max = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (left < length) return 0;
  if (byte(1) < second_min || byte(1) > second_max) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
  }
  return length;
}

}  // namespace

std::string BodyToText(std::string_view body) {
  body = body.substr(0, body.find('\0'));
  std::string text;
  text.reserve(body.size());
  std::size_t at = 0;
  while (at < body.size()) {
    const std::size_t length = SequenceLength(body, at);
    if (length == 0) {
      text += kReplacement;
      ++at;
    } else {
      text.append(body.substr(at, length));
      at += length;
    }
  }
  return text;
}

}  // namespace kestrel
