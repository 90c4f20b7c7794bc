#pragma once

#include <string>
#include <string_view>

// Text conversions for chapter titles read from tags. Every function takes the bytes it is given
// and nothing past them; invalid sequences become U+FFFD, so a title is always valid UTF-8.
namespace kestrel::chapter_text {

// UTF-8 as given, with each invalid byte replaced by U+FFFD.
std::string SanitizedUtf8(std::string_view bytes);
// ISO-8859-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
// UTF-16 units up to the first NUL unit (or the end; an odd last byte is ignored). A leading
// byte-order mark decides the byte order and is skipped; without one, `big_endian` decides.
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian);

}  // namespace kestrel::chapter_text
