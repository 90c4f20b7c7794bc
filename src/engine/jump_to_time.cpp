#include "engine/jump_to_time.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>

namespace kestrel {
namespace {

// Reads the way C's scanf reads fields, without its undefined behaviour on overflow and without
// the locale: blanks before a number are skipped, literal characters must match exactly.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  // An optionally signed decimal int.
  std::optional<int> Int() {
    SkipBlanks();
    std::string_view rest = text_.substr(at_);
    std::size_t sign = 0;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) sign = 1;
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    while (sign + digits < rest.size() && IsDigit(rest[sign + digits])) {
      magnitude = magnitude * 10 + (rest[sign + digits] - '0');
      if (magnitude > static_cast<std::int64_t>(INT_MAX) + 1) return std::nullopt;
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    const std::int64_t value = sign && rest[0] == '-' ? -magnitude : magnitude;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    at_ += sign + digits;
    return static_cast<int>(value);
  }

  // An optionally signed finite decimal number ("75.5", "1e2", ".5").
  std::optional<double> Decimal() {
    SkipBlanks();
    std::string_view rest = text_.substr(at_);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
      negative = rest[0] == '-';
      rest.remove_prefix(1);
    }
    // from_chars takes no sign of its own here: a second sign ("+-5") is no number.
    if (rest.empty() || !(IsDigit(rest[0]) || rest[0] == '.')) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    // Out of a double's range either way ("1e400", "1e-400") is no usable number.
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    at_ = static_cast<std::size_t>(end - text_.data());
    return negative ? -value : value;
  }

  bool Literal(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
  }
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<double> HoursMinutesSeconds(std::string_view text) {
  FieldReader reader(text);
  const auto h = reader.Int();
  if (!h || !reader.Literal(':')) return std::nullopt;
  const auto m = reader.Int();
  if (!m || !reader.Literal(':')) return std::nullopt;
  const auto s = reader.Int();
  if (!s) return std::nullopt;
  return *h * 3600.0 + *m * 60.0 + *s;
}

std::optional<double> MinutesSeconds(std::string_view text) {
  FieldReader reader(text);
  const auto m = reader.Int();
  if (!m || !reader.Literal(':')) return std::nullopt;
  const auto s = reader.Int();
  if (!s) return std::nullopt;
  return *m * 60.0 + *s;
}

}  // namespace

double ParseJumpTime(std::string_view text) {
  if (const auto value = HoursMinutesSeconds(text)) return *value;
  if (const auto value = MinutesSeconds(text)) return *value;
  FieldReader reader(text);
  if (const auto value = reader.Decimal()) return *value;
  return -1;
}

}  // namespace kestrel
