#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "audio/audio.h"
#include "engine/tag_id3v1.h"

// Named tags of what plays, read from the raw tag blocks of its channel. Everything here runs on
// the user-interface thread.
namespace kestrel {

// Where the readers take a channel's blocks from; GetTag uses the audio layer's blocks of the
// channel. Tests and stream sources can hand in blocks of their own.
using TagBlockFetch = std::function<std::optional<std::string>(audio::TagBlock)>;
TagBlockFetch ChannelTagBlocks(audio::Handle channel);

// The channel whose tags are read: the player state's metadata channel, else its source channel,
// else the output stream; 0 when nothing plays.
audio::Handle TagChannel();

// A named tag as UTF-8, empty when absent. Names: "TITLE", "ARTIST", "ALBUM", "DATE", "YEAR",
// "TRACK", "TRACKNUMBER", "GENRE", "COMMENT", "DESCRIPTION" (any other name is looked up in the
// "NAME=value" lists and ID3v2 user texts only). Sources in order, the first value found wins:
//   1. the "NAME=value" lists: Vorbis comments, APE, MP4, WMA, RIFF INFO (also under its INFO
//      item id, "INAM" for "TITLE"...), then the other containers' list;
//   2. the ID3v2 tag: TIT2, TPE1, TALB, TYER, TDRC, TRCK, TCON (numeric genres named), COMM,
//      then a TXXX user text with the name as its description;
//   3. with ICY headers: the title or artist part of the stream title ("TITLE" falling back to
//      "icy-name"), "GENRE" from "icy-genre";
//   4. with HTTP headers: "TITLE" from "icy-name", "GENRE" from "icy-genre".
std::string GetTagFrom(const TagBlockFetch& blocks, std::string_view name);
std::string GetTag(audio::Handle channel, std::string_view name);

// The current song of an internet stream: "Artist - Title", or the title, or the stream title as
// sent; empty without one.
std::string GetStreamTitleFrom(const TagBlockFetch& blocks);
std::string GetStreamTitle(audio::Handle channel);

// The station's "icy-name", and its "icy-br" in kbit/s (0 when absent), from the ICY headers,
// else the HTTP headers.
std::string GetStationNameFrom(const TagBlockFetch& blocks);
std::string GetStationName(audio::Handle channel);
int GetStationBitrateFrom(const TagBlockFetch& blocks);
int GetStationBitrate(audio::Handle channel);

// The fields of the channel's ID3v1 block, when it has one.
std::optional<id3v1::Fields> GetId3v1(audio::Handle channel);

}  // namespace kestrel
