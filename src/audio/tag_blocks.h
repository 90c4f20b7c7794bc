#pragma once

#include <map>
#include <string>
#include <vector>

#include "audio/byte_reader.h"
#include "audio/source.h"

// The tag blocks a file carries in its own bytes, in the layouts the tag readers parse:
// ID3v1 and ID3v2 as the exact bytes of the file, APEv2 items and Vorbis comments (from FLAC's
// VORBIS_COMMENT block or an Ogg stream's comment header) as a "KEY=value" list.
namespace kestrel::audio {

// Reads every such block the file has. The reader must be able to seek; it is left at an
// unspecified offset. A damaged or truncated block is left out, never returned in part.
std::map<TagBlock, std::string> ReadFileTagBlocks(ByteReader& reader);

// Joins entries into the list layout: each entry NUL-terminated, an empty one ends the list.
// Entries are cut at an embedded NUL and empty ones are dropped, so the list stays readable.
std::string JoinTagList(const std::vector<std::string>& entries);

}  // namespace kestrel::audio
