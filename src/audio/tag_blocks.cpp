#include "audio/tag_blocks.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace kestrel::audio {
namespace {

// Larger blocks are refused rather than read into memory (cover art stays well below this).
constexpr std::int64_t kMaxBlockBytes = 64 << 20;
constexpr int kMaxFlacBlocks = 1024;
constexpr int kMaxOggPages = 4096;
constexpr std::uint32_t kMaxEntries = 1 << 16;

std::optional<std::string> ReadAt(ByteReader& reader, std::int64_t offset, std::int64_t size) {
  if (offset < 0 || size < 0 || size > kMaxBlockBytes || offset + size > reader.Size()) {
    return std::nullopt;
  }
  if (!reader.Seek(offset)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::int64_t done = 0;
  while (done < size) {
    const std::int64_t got = reader.Read(bytes.data() + done, size - done);
    if (got <= 0) return std::nullopt;
    done += got;
  }
  return bytes;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint32_t Be24(std::string_view bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return (p[0] << 16) | (p[1] << 8) | p[2];
}

// ---- ID3v2 at the start of the file ------------------------------------------------------

// The total size of the ID3v2 tag whose 10-byte header this is, or nothing when it is not one.
std::optional<std::int64_t> Id3v2TotalSize(std::string_view header) {
  if (header.size() < 10 || header.substr(0, 3) != "ID3") return std::nullopt;
  const auto* p = reinterpret_cast<const unsigned char*>(header.data());
  if (p[3] < 2 || p[3] > 4 || p[3] == 0xFF || p[4] == 0xFF) return std::nullopt;
  std::int64_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (p[i] & 0x80) return std::nullopt;  // sizes are syncsafe: 7 bits a byte
    size = (size << 7) | p[i];
  }
  const bool has_footer = p[3] == 4 && (p[5] & 0x10);
  return 10 + size + (has_footer ? 10 : 0);
}

std::optional<std::string> ReadId3v2(ByteReader& reader) {
  const auto header = ReadAt(reader, 0, 10);
  if (!header) return std::nullopt;
  const auto total = Id3v2TotalSize(*header);
  if (!total) return std::nullopt;
  return ReadAt(reader, 0, *total);
}

// ---- ID3v1 and APEv2 at the end ----------------------------------------------------------

std::optional<std::string> ReadId3v1(ByteReader& reader) {
  auto block = ReadAt(reader, reader.Size() - 128, 128);
  if (!block || block->compare(0, 3, "TAG") != 0) return std::nullopt;
  return block;
}

// APEv2 text items; multiple values (NUL-separated in the tag) are joined with "/".
std::optional<std::string> ReadApe(ByteReader& reader, bool has_id3v1) {
  const std::int64_t end = reader.Size() - (has_id3v1 ? 128 : 0);
  const auto footer = ReadAt(reader, end - 32, 32);
  if (!footer || footer->compare(0, 8, "APETAGEX") != 0) return std::nullopt;
  const std::uint32_t tag_size = Le32(*footer, 12);  // items and footer, not the header
  const std::uint32_t item_count = Le32(*footer, 16);
  if (tag_size < 32 || item_count > kMaxEntries) return std::nullopt;
  const auto items = ReadAt(reader, end - tag_size, tag_size - 32);
  if (!items) return std::nullopt;

  std::vector<std::string> entries;
  std::size_t at = 0;
  for (std::uint32_t i = 0; i < item_count; ++i) {
    if (items->size() - at < 8) break;
    const std::uint32_t value_size = Le32(*items, at);
    const std::uint32_t flags = Le32(*items, at + 4);
    at += 8;
    const std::size_t key_end = items->find('\0', at);
    if (key_end == std::string::npos || key_end == at) break;
    const std::string key = items->substr(at, key_end - at);
    at = key_end + 1;
    if (value_size > items->size() - at) break;
    std::string value = items->substr(at, value_size);
    at += value_size;
    const std::uint32_t type = (flags >> 1) & 3;
    if (type == 1) continue;  // binary (cover art): not text
    for (char& c : value) {
      if (c == '\0') c = '/';
    }
    entries.push_back(key + "=" + value);
  }
  return JoinTagList(entries);
}

// ---- Vorbis comments ---------------------------------------------------------------------

// Parses a Vorbis comment structure (vendor string, then counted "KEY=value" entries).
std::optional<std::string> ParseVorbisComment(std::string_view bytes) {
  if (bytes.size() < 8) return std::nullopt;
  const std::uint32_t vendor_length = Le32(bytes, 0);
  if (vendor_length > bytes.size() - 8) return std::nullopt;
  std::size_t at = 4 + vendor_length;
  const std::uint32_t count = Le32(bytes, at);
  at += 4;
  if (count > kMaxEntries) return std::nullopt;
  std::vector<std::string> entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 4) return std::nullopt;
    const std::uint32_t length = Le32(bytes, at);
    at += 4;
    if (length > bytes.size() - at) return std::nullopt;
    entries.emplace_back(bytes.substr(at, length));
    at += length;
  }
  return JoinTagList(entries);
}

std::optional<std::string> ReadFlacComments(ByteReader& reader, std::int64_t start) {
  const auto magic = ReadAt(reader, start, 4);
  if (!magic || *magic != "fLaC") return std::nullopt;
  std::int64_t at = start + 4;
  for (int i = 0; i < kMaxFlacBlocks; ++i) {
    const auto header = ReadAt(reader, at, 4);
    if (!header) return std::nullopt;
    const int type = static_cast<unsigned char>((*header)[0]) & 0x7F;
    const bool last = static_cast<unsigned char>((*header)[0]) & 0x80;
    const std::uint32_t length = Be24(*header, 1);
    if (type == 4) {
      const auto block = ReadAt(reader, at + 4, length);
      return block ? ParseVorbisComment(*block) : std::nullopt;
    }
    if (last || type == 127) return std::nullopt;
    at += 4 + length;
  }
  return std::nullopt;
}

// Collects the first two packets (identification and comment headers) of the Ogg file's first
// logical stream.
std::optional<std::pair<std::string, std::string>> ReadOggHeaderPackets(ByteReader& reader) {
  std::vector<std::string> packets(1);
  std::optional<std::uint32_t> serial;
  std::int64_t at = 0;
  for (int page = 0; page < kMaxOggPages; ++page) {
    const auto header = ReadAt(reader, at, 27);
    if (!header || header->compare(0, 4, "OggS") != 0 || (*header)[4] != 0) return std::nullopt;
    const std::uint32_t page_serial = Le32(*header, 14);
    const int segments = static_cast<unsigned char>((*header)[26]);
    const auto lacing = ReadAt(reader, at + 27, segments);
    if (!lacing) return std::nullopt;
    std::int64_t body_size = 0;
    for (unsigned char size : *lacing) body_size += size;
    const std::int64_t body_at = at + 27 + segments;
    at = body_at + body_size;
    if (!serial) serial = page_serial;
    if (page_serial != *serial) continue;  // another multiplexed stream
    const auto body = ReadAt(reader, body_at, body_size);
    if (!body) return std::nullopt;
    std::size_t offset = 0;
    for (unsigned char size : *lacing) {
      packets.back().append(*body, offset, size);
      offset += size;
      if (static_cast<std::int64_t>(packets.back().size()) > kMaxBlockBytes) return std::nullopt;
      if (size < 255) {  // a lacing value below 255 ends the packet
        if (packets.size() == 2) return std::make_pair(packets[0], packets[1]);
        packets.emplace_back();
      }
    }
  }
  return std::nullopt;
}

std::optional<std::string> ReadOggComments(ByteReader& reader) {
  const auto packets = ReadOggHeaderPackets(reader);
  if (!packets) return std::nullopt;
  const auto& [identification, comments] = *packets;
  const std::string_view comment_view(comments);
  auto starts = [](std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
  };
  using namespace std::string_view_literals;
  if (starts(identification, "\x01vorbis"sv) && starts(comment_view, "\x03vorbis"sv)) {
    return ParseVorbisComment(comment_view.substr(7));
  }
  if (starts(identification, "OpusHead"sv) && starts(comment_view, "OpusTags"sv)) {
    return ParseVorbisComment(comment_view.substr(8));
  }
  if (starts(identification, "\x7F" "FLAC"sv) && comment_view.size() >= 4 &&
      (static_cast<unsigned char>(comment_view[0]) & 0x7F) == 4) {
    return ParseVorbisComment(comment_view.substr(4));  // a FLAC metadata block header first
  }
  if (starts(identification, "Speex   "sv)) return ParseVorbisComment(comment_view);
  return std::nullopt;
}

}  // namespace

std::string JoinTagList(const std::vector<std::string>& entries) {
  std::string list;
  for (const std::string& entry : entries) {
    const std::string_view text(entry.c_str());  // up to an embedded NUL
    if (text.empty()) continue;
    list.append(text);
    list.push_back('\0');
  }
  list.push_back('\0');
  return list;
}

std::map<TagBlock, std::string> ReadFileTagBlocks(ByteReader& reader) {
  std::map<TagBlock, std::string> blocks;
  if (reader.Size() <= 0) return blocks;

  std::int64_t audio_start = 0;
  if (auto id3v2 = ReadId3v2(reader)) {
    audio_start = static_cast<std::int64_t>(id3v2->size());
    blocks[TagBlock::kId3v2] = std::move(*id3v2);
  }
  auto id3v1 = ReadId3v1(reader);
  if (auto ape = ReadApe(reader, id3v1.has_value())) blocks[TagBlock::kApe] = std::move(*ape);
  if (id3v1) blocks[TagBlock::kId3v1] = std::move(*id3v1);

  auto vorbis = ReadFlacComments(reader, audio_start);
  if (!vorbis) vorbis = ReadOggComments(reader);
  if (vorbis) blocks[TagBlock::kVorbis] = std::move(*vorbis);
  return blocks;
}

}  // namespace kestrel::audio
