#pragma once

#include <string>
#include <string_view>

// Playlist files written by Windows programs often hold names in the Windows-1252 code page
// rather than UTF-8. This turns such bytes into UTF-8 through the code page's table.
namespace kestrel {

// Every byte maps to one character: 0x00-0x7F and 0xA0-0xFF as in Latin-1, 0x80-0x9F through
// the table (the five unassigned bytes keep their C1 control code, as Windows itself maps them).
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace kestrel
