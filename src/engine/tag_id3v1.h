#pragma once

#include <optional>
#include <string>
#include <string_view>

// The 128-byte ID3v1 block at the end of an MP3 file, and ID3v1.1's track number in the last
// two bytes of the comment.
namespace kestrel::id3v1 {

inline constexpr std::size_t kBlockSize = 128;

struct Fields {
  std::string title;    // bytes 3-32
  std::string artist;   // 33-62
  std::string album;    // 63-92
  std::string year;     // 93-96
  std::string comment;  // 97-126, or 97-124 when the block carries a track number
  int track = 0;        // byte 126 of an ID3v1.1 block; 0 when there is none
  int genre = 255;      // byte 127: an index into the genre table
};

// The fields of a block that begins with "TAG" and is at least 128 bytes long; nothing otherwise.
// Each text field ends at its first NUL or its size; trailing blanks are dropped; the bytes are
// read as UTF-8 when they are valid UTF-8, otherwise as Windows-1252.
std::optional<Fields> Parse(std::string_view block);

// The genre table's name for an index: 0 "Blues" to 79 "Hard Rock"; empty from 80 on.
std::string_view GenreName(int index);

}  // namespace kestrel::id3v1
