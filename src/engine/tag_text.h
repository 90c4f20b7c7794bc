#pragma once

#include <string>
#include <string_view>

// Turning the text encodings tags use into UTF-8. Every decoder reads only the bytes it is given:
// a text without its terminating NUL ends at the end of those bytes, and a lone byte left over at
// the end of UTF-16 text is dropped.
namespace kestrel::tag_text {

// Each byte one character (ISO-8859-1), up to the first NUL.
std::string Latin1ToUtf8(std::string_view bytes);

// UTF-16 in the given byte order, up to the first NUL unit. A surrogate without its partner
// becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian);

// UTF-16 led by a byte-order mark: FE FF is big-endian, FF FE little-endian, both skipped.
// Without a mark the text is read as little-endian from its first byte.
std::string Utf16WithBomToUtf8(std::string_view bytes);

// UTF-8 up to the first NUL; a byte that does not belong to a valid sequence becomes U+FFFD, so
// the result is always valid UTF-8.
std::string CleanUtf8(std::string_view bytes);

// Text that is usually UTF-8 but may come from an 8-bit code page (ID3v1 fields): kept when it is
// valid UTF-8, otherwise read as Windows-1252. Ends at the first NUL.
std::string Utf8OrWindows1252(std::string_view bytes);

// Drops trailing blanks (spaces, tabs) and NULs.
std::string_view TrimTrailingBlanks(std::string_view text);

}  // namespace kestrel::tag_text
