#include "storage/ini_values.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrel {
namespace {

bool IsCSpace(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Skips blanks and one sign; returns true when the sign was a minus.
bool SkipBlanksAndSign(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  text.remove_prefix(i);
  return negative;
}

}  // namespace

int ParseLeadingInt(std::string_view text) {
  const bool negative = SkipBlanksAndSign(text);
  // Accumulate as a negative number so INT_MIN itself fits; stop growing once past int's range.
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (char ch : text) {
    if (!IsDigit(ch)) break;
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (ch - '0');
  }
  if (negative) return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

double ParseLeadingFraction(std::string_view text) {
  const bool negative = SkipBlanksAndSign(text);
  if (text.empty() || text.front() == '+' || text.front() == '-') return 0.0;

  double value = 0.0;
  std::from_chars_result result{};
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    result = std::from_chars(first + 2, last, value, std::chars_format::hex);
    if (result.ec == std::errc::invalid_argument) return negative ? -0.0 : 0.0;  // just "0x"
  } else {
    result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return 0.0;
  }
  if (result.ec == std::errc::result_out_of_range) {
    // Too large, or too small to tell from zero: both are refused as not a usable number.
    return std::numeric_limits<double>::quiet_NaN();
  }
  return negative ? -value : value;
}

std::string FormatFixed(double value, int decimals) {
  char buffer[400];  // the largest double in fixed notation is 309 digits, plus the decimals
  if (decimals < 0) decimals = 0;
  if (decimals > 60) decimals = 60;
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

std::string FormatInt(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string CutToCharacters(std::string_view text, std::size_t max_chars) {
  std::size_t i = 0;
  std::size_t count = 0;
  while (i < text.size() && count < max_chars) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
    }
    // Take the whole sequence only when its continuation bytes are really there.
    std::size_t end = i + 1;
    while (end < i + length && end < text.size() &&
           (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) {
      ++end;
    }
    i = (end == i + length) ? end : i + 1;
    ++count;
  }
  return std::string(text.substr(0, i));
}

}  // namespace kestrel
