#include "engine/chapter_id3.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/tag_text.h"

namespace kestrel {
namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kFrameHeaderSize = 10;
constexpr std::size_t kChapterTimesSize = 16;  // start, end, start offset, end offset

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  return Byte(bytes, at) << 24 | Byte(bytes, at + 1) << 16 | Byte(bytes, at + 2) << 8 |
         Byte(bytes, at + 3);
}

// Four bytes of seven bits each, as the tag header and version 2.4 sizes are written.
std::uint32_t Syncsafe32(std::string_view bytes, std::size_t at) {
  return (Byte(bytes, at) & 0x7F) << 21 | (Byte(bytes, at + 1) & 0x7F) << 14 |
         (Byte(bytes, at + 2) & 0x7F) << 7 | (Byte(bytes, at + 3) & 0x7F);
}

// Undoes unsynchronisation: every 0xFF 0x00 pair stands for 0xFF.
std::string Resynchronised(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    out += bytes[at];
    if (static_cast<unsigned char>(bytes[at]) == 0xFF && at + 1 < bytes.size() &&
        bytes[at + 1] == '\0') {
      ++at;
    }
  }
  return out;
}

struct FrameRules {
  int version = 0;                 // 3 or 4
  bool all_unsynchronised = false;  // version 2.4: the tag header says every frame is
};

// The frame's content as the tag means it: with grouping and data-length bytes skipped and
// unsynchronisation undone. Empty for compressed or encrypted frames, which this reader skips.
std::optional<std::string> FrameContent(std::string_view raw, std::uint8_t format_flags,
                                        const FrameRules& rules) {
  std::size_t skip = 0;
  bool unsynchronised = false;
  if (rules.version == 3) {
    if (format_flags & 0xC0) return std::nullopt;  // compressed or encrypted
    if (format_flags & 0x20) skip += 1;            // group id
  } else {
    if (format_flags & 0x0C) return std::nullopt;  // compressed or encrypted
    if (format_flags & 0x40) skip += 1;            // group id
    if (format_flags & 0x01) skip += 4;            // data length indicator
    unsynchronised = rules.all_unsynchronised || (format_flags & 0x02) != 0;
  }
  if (skip > raw.size()) return std::nullopt;
  raw.remove_prefix(skip);
  return unsynchronised ? Resynchronised(raw) : std::string(raw);
}

// Calls `visit(id, content)` for each frame of `frames` in order until it returns true. The walk
// stops at a zero first byte of a frame id, a zero size, or a frame that would end past the data.
template <typename Visit>
void WalkFrames(std::string_view frames, const FrameRules& rules, Visit&& visit) {
  std::size_t at = 0;
  while (frames.size() - at >= kFrameHeaderSize) {
    if (frames[at] == '\0') return;
    const std::uint32_t size =
        rules.version == 3 ? BigEndian32(frames, at + 4) : Syncsafe32(frames, at + 4);
    if (size == 0 || size > frames.size() - at - kFrameHeaderSize) return;
    const std::string_view id = frames.substr(at, 4);
    const auto format_flags = static_cast<std::uint8_t>(Byte(frames, at + 9));
    const std::string_view raw = frames.substr(at + kFrameHeaderSize, size);
    at += kFrameHeaderSize + size;
    if (std::optional<std::string> content = FrameContent(raw, format_flags, rules)) {
      if (visit(id, std::string_view(*content))) return;
    }
  }
}

// Text before the first NUL.

// The title held by a TIT2 frame's content (at least 2 bytes: encoding, then text).
std::string TitleText(std::string_view content) {
  const std::uint32_t encoding = Byte(content, 0);
  const std::string_view text = content.substr(1);
  switch (encoding) {
    case 0:
      return tag_text::Latin1ToUtf8(text);
    case 1:
      return tag_text::Utf16WithBomToUtf8(text);
    case 2:
      return tag_text::Utf16ToUtf8(text, true);
    case 3:
      return tag_text::CleanUtf8(text);
    default:
      return {};
  }
}

// The title of a chapter: the text of the first TIT2 among its embedded frames.
std::string EmbeddedTitle(std::string_view frames, const FrameRules& rules) {
  std::string title;
  WalkFrames(frames, rules, [&](std::string_view id, std::string_view content) {
    if (id != "TIT2" || content.size() < 2) return false;
    title = TitleText(content);
    return true;
  });
  return title;
}

// Where the frames begin in the tag body (after the extended header when there is one).
std::optional<std::size_t> FramesOffset(std::string_view body, int version, std::uint8_t flags) {
  if ((flags & 0x40) == 0) return 0;
  if (body.size() < 4) return std::nullopt;
  // Version 2.3 counts the size without its own four bytes; version 2.4 counts them.
  const std::uint64_t offset =
      version == 3 ? 4 + std::uint64_t{BigEndian32(body, 0)} : Syncsafe32(body, 0);
  if (offset > body.size()) return std::nullopt;
  return static_cast<std::size_t>(offset);
}

}  // namespace

ChapterList ParseId3v2Chapters(std::string_view tag, UntitledChapterNamer name_untitled) {
  ChapterList list;
  if (tag.size() < kHeaderSize || tag.substr(0, 3) != "ID3") return list;
  const int version = static_cast<int>(Byte(tag, 3));
  if (version != 3 && version != 4) return list;  // chapter frames exist from version 2.3 on
  const auto flags = static_cast<std::uint8_t>(Byte(tag, 5));
  const std::size_t declared = Syncsafe32(tag, 6);
  std::string_view body = tag.substr(kHeaderSize, std::min(declared, tag.size() - kHeaderSize));

  // Version 2.3 unsynchronises the whole tag after its header; 2.4 marks it frame by frame.
  std::string resynchronised;
  if (version == 3 && (flags & 0x80)) {
    resynchronised = Resynchronised(body);
    body = resynchronised;
  }
  const FrameRules rules{version, version == 4 && (flags & 0x80) != 0};
  const std::optional<std::size_t> offset = FramesOffset(body, version, flags);
  if (!offset) return list;

  WalkFrames(body.substr(*offset), rules, [&](std::string_view id, std::string_view content) {
    if (id != "CHAP") return false;
    const std::size_t id_end = content.find('\0');
    if (id_end == std::string_view::npos || content.size() - id_end - 1 < kChapterTimesSize) {
      return false;
    }
    const std::size_t times = id_end + 1;
    const double start = BigEndian32(content, times) / 1000.0;
    std::string title = EmbeddedTitle(content.substr(times + kChapterTimesSize), rules);
    if (title.empty()) title = name_untitled(static_cast<int>(list.size()) + 1);
    list.push_back({start, std::move(title)});
    return false;
  });

  std::stable_sort(list.begin(), list.end(),
                   [](const Chapter& a, const Chapter& b) { return a.start < b.start; });
  return list;
}

}  // namespace kestrel
