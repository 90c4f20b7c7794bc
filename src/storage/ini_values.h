#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reading and writing the values of Kestrel.ini. Numbers follow the C library's leading-number
// rules but never the user's locale: a French desktop still reads and writes "125.50".
namespace kestrel {

// The leading integer of the text, as atoi/strtol read it: optional blanks, an optional sign,
// decimal digits, the rest ignored. No number reads as 0; values beyond int are clamped to it.
int ParseLeadingInt(std::string_view text);

// The leading number of the text, as atof reads it: optional blanks, an optional sign, then a
// decimal (or "0x" hexadecimal) number with optional exponent, the rest ignored. No number reads
// as 0. "nan", "inf" and values too large for a double come back as NaN or infinity, which the
// caller must refuse.
double ParseLeadingFraction(std::string_view text);

// printf's "%.<decimals>f" with a point, whatever the locale.
std::string FormatFixed(double value, int decimals);
// printf's "%d".
std::string FormatInt(long long value);

// At most max_chars characters of UTF-8 text, never cutting a character in two (a stray byte
// that starts no valid character counts as one character).
std::string CutToCharacters(std::string_view text, std::size_t max_chars);

}  // namespace kestrel
