#pragma once

#include <string>
#include <string_view>

// What internet streams say about themselves: the HTTP and ICY response headers ("icy-name",
// "icy-genre", "icy-br") and the stream title of an ICY metadata block
// ("StreamTitle='Artist - Song';"). Pure text functions over the blocks the audio layer keeps.
namespace kestrel::stream_meta {

// The value of header `name` in a block of "Name: value" lines separated by NUL, CR or LF and
// ended by an empty line: the first line that begins with the name (ASCII case ignored)
// immediately followed by ":", blanks after the colon skipped, up to the next CR, LF or NUL.
std::string HeaderValue(std::string_view block, std::string_view name);

// The field `name` of a metadata block: the text after name=' up to the next "';" (or to the end
// of the block, a final apostrophe dropped); else the text after name=" up to the next double
// quote. Empty when the field is absent.
std::string FieldValue(std::string_view meta, std::string_view name);

struct ArtistAndTitle {
  std::string artist;
  std::string title;
};

// Splits a stream title into artist and title: the ` - text="` marker some servers send, else
// title="..." and artist="..." fields, else "Artist - Title" at the first " - ", else the whole
// text is the title.
ArtistAndTitle SplitStreamTitle(std::string_view stream_title);

// "Artist - Title" when both parts are there, the title alone when only it is, else the stream
// title unsplit.
std::string JoinedStreamTitle(std::string_view stream_title);

}  // namespace kestrel::stream_meta
