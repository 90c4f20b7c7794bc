#pragma once

#include <string>
#include <string_view>

// Tag blocks laid out as lists of "NAME=value" strings, each ended by a NUL, the list by an empty
// string: Vorbis comments (Ogg, Opus, FLAC), APEv2, MP4 atoms, WMA attributes, RIFF INFO items and
// the tags of other containers. A list without its final terminators ends with its bytes.
namespace kestrel::tag_list {

// The text after "=" of the first entry that begins with `name` followed by "=", the name compared
// without regard to ASCII case. Empty when there is none. The value is made valid UTF-8.
std::string Value(std::string_view list, std::string_view name);

// The RIFF INFO item id that holds what the player calls `name` ("TITLE" is "INAM", "ARTIST"
// "IART"...); empty for a name INFO has no item for.
std::string_view RiffInfoId(std::string_view name);

}  // namespace kestrel::tag_list
