#pragma once

#include <functional>
#include <string>
#include <string_view>

// Reading frames out of a whole ID3v2 tag (header included), versions 2.2, 2.3 and 2.4:
// unsynchronisation undone, the extended header skipped. Every read stays inside the tag and the
// frame: a declared size that runs past either ends the walk.
namespace kestrel::id3v2 {

struct Frame {
  // The frame's id: four characters ("TIT2"), or three in a version 2.2 tag ("TT2").
  std::string_view id;
  // The frame's content after its header, with unsynchronisation undone and the extra bytes of
  // grouping and data-length flags removed.
  std::string_view content;
};

// The tag's major version (2, 3 or 4) when the block begins with a valid ID3v2 header; else 0.
int MajorVersion(std::string_view tag);

// Calls `visit` with each readable frame in order until it returns false. Stops at padding (an
// id whose first byte is 0), at a size of 0 and at a frame that would end past the tag.
// Compressed and encrypted frames are passed over. A whole-tag compressed version 2.2 tag has no
// readable frames.
void ForEachFrame(std::string_view tag, const std::function<bool(const Frame&)>& visit);

// Text of a text frame's content: the first byte names the encoding (0 ISO-8859-1, 1 UTF-16 with
// byte-order mark, 2 UTF-16 big-endian, 3 UTF-8; any other gives an empty text); the text ends at
// its first NUL.
std::string DecodeText(std::string_view content);

// Text in a given encoding (the byte that leads a frame's content), as DecodeText.
std::string DecodeEncoded(int encoding, std::string_view bytes);

// The comment of a "COMM" frame's content: after the encoding byte, a 3-byte language and a
// description ended by a NUL (two zero bytes, aligned, in the UTF-16 encodings), the text.
// Without that terminator there is no comment.
std::string CommentText(std::string_view content);

// The user-defined text of a "TXXX" frame's content whose description equals `description`
// (ASCII case ignored); empty for another description.
std::string UserTextFor(std::string_view content, std::string_view description);

// The decoded text of the first frame with this id (a four-character id; in a version 2.2 tag its
// three-character counterpart is looked for). "COMM" gives the comment text. Empty when absent.
std::string FrameText(std::string_view tag, std::string_view id);

// The value of the first "TXXX" frame with this description (case ignored); empty when absent.
std::string UserText(std::string_view tag, std::string_view description);

// A genre as "TCON" holds it: a numeric reference "(17)" or "17" becomes the ID3v1 genre name,
// "(17)Rock & Roll" keeps its text, "(RX)" and "(CR)" are "Remix" and "Cover"; other text is kept.
std::string GenreText(std::string_view tcon);

}  // namespace kestrel::id3v2
