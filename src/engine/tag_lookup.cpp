#include "engine/tag_lookup.h"

#include <array>
#include <charconv>

#include "base/utf8.h"
#include "engine/player_state.h"
#include "engine/tag_id3v2.h"
#include "engine/tag_name_list.h"
#include "engine/tag_stream_meta.h"

namespace kestrel {
namespace {

using audio::TagBlock;

// The "NAME=value" lists in the order they are consulted.
constexpr std::array<TagBlock, 6> kListBlocks = {
    TagBlock::kVorbis, TagBlock::kApe,      TagBlock::kMp4,
    TagBlock::kWma,    TagBlock::kRiffInfo, TagBlock::kMediaFoundation,
};

// The ID3v2 frame that holds each name.
struct Id3v2Name {
  std::string_view name;
  std::string_view frame;
};
constexpr std::array<Id3v2Name, 9> kId3v2Frames = {{
    {"TITLE", "TIT2"}, {"ARTIST", "TPE1"}, {"ALBUM", "TALB"}, {"YEAR", "TYER"},
    {"DATE", "TDRC"}, {"TRACK", "TRCK"}, {"TRACKNUMBER", "TRCK"}, {"GENRE", "TCON"},
    {"COMMENT", "COMM"},
}};

bool Is(std::string_view name, std::string_view wanted) { return EqualsIgnoreAsciiCase(name, wanted); }

std::string FromLists(const TagBlockFetch& blocks, std::string_view name) {
  for (const TagBlock block : kListBlocks) {
    const auto list = blocks(block);
    if (!list) continue;
    std::string value = tag_list::Value(*list, name);
    if (value.empty() && block == TagBlock::kRiffInfo) {
      value = tag_list::Value(*list, tag_list::RiffInfoId(name));
    }
    if (!value.empty()) return value;
  }
  return {};
}

std::string FromId3v2(const TagBlockFetch& blocks, std::string_view name) {
  const auto tag = blocks(TagBlock::kId3v2);
  if (!tag) return {};
  for (const Id3v2Name& row : kId3v2Frames) {
    if (!Is(name, row.name)) continue;
    std::string value = id3v2::FrameText(*tag, row.frame);
    if (row.frame == "TCON") value = id3v2::GenreText(value);
    if (!value.empty()) return value;
    break;
  }
  return id3v2::UserText(*tag, name);
}

std::string FromStreamHeaders(const TagBlockFetch& blocks, std::string_view name) {
  const bool title = Is(name, "TITLE");
  const bool genre = Is(name, "GENRE");
  if (const auto icy = blocks(TagBlock::kIcy)) {
    if (title || Is(name, "ARTIST")) {
      if (const auto meta = blocks(TagBlock::kMeta)) {
        const auto parts =
            stream_meta::SplitStreamTitle(stream_meta::FieldValue(*meta, "StreamTitle"));
        std::string value = title ? parts.title : parts.artist;
        if (!value.empty()) return value;
      }
      if (title) {
        if (std::string value = stream_meta::HeaderValue(*icy, "icy-name"); !value.empty()) {
          return value;
        }
      }
    }
    if (genre) {
      if (std::string value = stream_meta::HeaderValue(*icy, "icy-genre"); !value.empty()) {
        return value;
      }
    }
  }
  if (const auto http = blocks(TagBlock::kHttp)) {
    if (title) return stream_meta::HeaderValue(*http, "icy-name");
    if (genre) return stream_meta::HeaderValue(*http, "icy-genre");
  }
  return {};
}

std::string StationHeader(const TagBlockFetch& blocks, std::string_view header) {
  for (const TagBlock block : {TagBlock::kIcy, TagBlock::kHttp}) {
    if (const auto headers = blocks(block)) {
      if (std::string value = stream_meta::HeaderValue(*headers, header); !value.empty()) {
        return value;
      }
    }
  }
  return {};
}

}  // namespace

TagBlockFetch ChannelTagBlocks(audio::Handle channel) {
  return [channel](TagBlock block) { return audio::GetTags(channel, block); };
}

audio::Handle TagChannel() {
  const PlayerState& state = ThePlayerState();
  if (state.meta_channel != 0) return state.meta_channel;
  if (state.source_channel != 0) return state.source_channel;
  return state.output_stream;
}

std::string GetTagFrom(const TagBlockFetch& blocks, std::string_view name) {
  if (name.empty()) return {};
  if (std::string value = FromLists(blocks, name); !value.empty()) return value;
  if (std::string value = FromId3v2(blocks, name); !value.empty()) return value;
  return FromStreamHeaders(blocks, name);
}

std::string GetTag(audio::Handle channel, std::string_view name) {
  if (channel == 0) return {};
  return GetTagFrom(ChannelTagBlocks(channel), name);
}

std::string GetStreamTitleFrom(const TagBlockFetch& blocks) {
  const auto meta = blocks(TagBlock::kMeta);
  if (!meta) return {};
  return stream_meta::JoinedStreamTitle(stream_meta::FieldValue(*meta, "StreamTitle"));
}

std::string GetStreamTitle(audio::Handle channel) {
  if (channel == 0) return {};
  return GetStreamTitleFrom(ChannelTagBlocks(channel));
}

std::string GetStationNameFrom(const TagBlockFetch& blocks) { return StationHeader(blocks, "icy-name"); }

std::string GetStationName(audio::Handle channel) {
  if (channel == 0) return {};
  return GetStationNameFrom(ChannelTagBlocks(channel));
}

int GetStationBitrateFrom(const TagBlockFetch& blocks) {
  const std::string text = StationHeader(blocks, "icy-br");
  int kbps = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), kbps);
  return error == std::errc() && kbps > 0 ? kbps : 0;
}

int GetStationBitrate(audio::Handle channel) {
  if (channel == 0) return 0;
  return GetStationBitrateFrom(ChannelTagBlocks(channel));
}

std::optional<id3v1::Fields> GetId3v1(audio::Handle channel) {
  if (channel == 0) return std::nullopt;
  const auto block = audio::GetTags(channel, TagBlock::kId3v1);
  if (!block) return std::nullopt;
  return id3v1::Parse(*block);
}

}  // namespace kestrel
