#include "engine/tag_id3v2.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "base/utf8.h"
#include "engine/tag_id3v1.h"
#include "engine/tag_text.h"

namespace kestrel::id3v2 {
namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr unsigned char kTagUnsynchronised = 0x80;
constexpr unsigned char kTagExtendedHeader = 0x40;
constexpr unsigned char kV22Compressed = 0x40;

unsigned char Byte(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | Byte(bytes, at + static_cast<std::size_t>(i));
  return value;
}

// Four 7-bit bytes; nothing when a byte has its top bit set (not a syncsafe number).
std::optional<std::uint32_t> Syncsafe(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const unsigned char byte = Byte(bytes, at + i);
    if (byte & 0x80) return std::nullopt;
    value = (value << 7) | byte;
  }
  return value;
}

// Undoes unsynchronisation: every FF 00 pair stands for FF.
std::string Resynchronise(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (Byte(bytes, i) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
  }
  return out;
}

// The four-character ids the player asks for and their version 2.2 counterparts.
struct IdPair {
  std::string_view v23;
  std::string_view v22;
};
constexpr std::array<IdPair, 8> kV22Ids = {{
    {"TIT2", "TT2"}, {"TPE1", "TP1"}, {"TALB", "TAL"}, {"TYER", "TYE"},
    {"TRCK", "TRK"}, {"TCON", "TCO"}, {"COMM", "COM"}, {"TXXX", "TXX"},
}};

std::string_view V22Id(std::string_view id) {
  for (const IdPair& pair : kV22Ids) {
    if (pair.v23 == id) return pair.v22;
  }
  return {};
}

bool IsUtf16(int encoding) { return encoding == 1 || encoding == 2; }

// Where the NUL that ends a text in this encoding starts: a zero byte, or for UTF-16 two zero
// bytes at an even offset. npos when there is none.
std::size_t TerminatorAt(int encoding, std::string_view bytes) {
  if (!IsUtf16(encoding)) return bytes.find('\0');
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\0' && bytes[i + 1] == '\0') return i;
  }
  return std::string_view::npos;
}

std::size_t TerminatorSize(int encoding) { return IsUtf16(encoding) ? 2 : 1; }

// The layout of one version's frames.
struct FrameLayout {
  std::size_t id_size;
  std::size_t header_size;
};

// Walks the frames of `body` (the bytes after the tag header, resynchronised where the whole tag
// was) from `start`.
void WalkFrames(int version, bool unsynchronised_frames, std::string_view body, std::size_t start,
                const std::function<bool(const Frame&)>& visit) {
  const FrameLayout layout = version == 2 ? FrameLayout{3, 6} : FrameLayout{4, 10};
  std::size_t at = start;
  while (at <= body.size() && body.size() - at >= layout.header_size) {
    const std::string_view id = body.substr(at, layout.id_size);
    if (id[0] == '\0') return;  // padding
    std::uint32_t size = 0;
    if (version == 2) {
      size = BigEndian(body, at + 3, 3);
    } else if (version == 3) {
      size = BigEndian(body, at + 4, 4);
    } else {
      const auto syncsafe = Syncsafe(body, at + 4);
      if (!syncsafe) return;
      size = *syncsafe;
    }
    if (size == 0 || size > body.size() - at - layout.header_size) return;
    std::string_view content = body.substr(at + layout.header_size, size);
    const unsigned char format = version == 2 ? 0 : Byte(body, at + 9);
    at += layout.header_size + size;

    bool unsynchronised = false;
    if (version == 3) {
      if (format & 0xC0) continue;  // compressed or encrypted
      if (format & 0x20) content.remove_prefix(1);  // group id
    } else if (version == 4) {
      if (format & 0x0C) continue;  // compressed or encrypted
      const std::size_t extra = ((format & 0x40) ? 1 : 0) + ((format & 0x01) ? 4 : 0);
      if (extra > content.size()) continue;
      content.remove_prefix(extra);  // group id, data length
      unsynchronised = unsynchronised_frames || (format & 0x02);
    }
    if (unsynchronised) {
      const std::string resynchronised = Resynchronise(content);
      if (!visit(Frame{id, resynchronised})) return;
    } else if (!visit(Frame{id, content})) {
      return;
    }
  }
}

}  // namespace

int MajorVersion(std::string_view tag) {
  if (tag.size() < kHeaderSize || tag.substr(0, 3) != "ID3") return 0;
  const int version = Byte(tag, 3);
  if (version < 2 || version > 4 || !Syncsafe(tag, 6)) return 0;
  return version;
}

void ForEachFrame(std::string_view tag, const std::function<bool(const Frame&)>& visit) {
  const int version = MajorVersion(tag);
  if (version == 0) return;
  const unsigned char flags = Byte(tag, 5);
  const std::uint32_t declared = *Syncsafe(tag, 6);
  std::string_view body = tag.substr(kHeaderSize);
  if (declared < body.size()) body = body.substr(0, declared);

  if (version == 2 && (flags & kV22Compressed)) return;
  // Versions 2.2 and 2.3 unsynchronise the whole tag; version 2.4 each frame on its own.
  std::string resynchronised;
  if (version < 4 && (flags & kTagUnsynchronised)) {
    resynchronised = Resynchronise(body);
    body = resynchronised;
  }

  std::size_t start = 0;
  if (version >= 3 && (flags & kTagExtendedHeader)) {
    if (body.size() < 4) return;
    if (version == 3) {
      start = 4 + static_cast<std::size_t>(BigEndian(body, 0, 4));
    } else {
      const auto size = Syncsafe(body, 0);
      if (!size || *size < 6) return;
      start = *size;  // counts itself
    }
    if (start > body.size()) return;
  }
  WalkFrames(version, version == 4 && (flags & kTagUnsynchronised), body, start, visit);
}

std::string DecodeEncoded(int encoding, std::string_view bytes) {
  switch (encoding) {
    case 0: return tag_text::Latin1ToUtf8(bytes);
    case 1: return tag_text::Utf16WithBomToUtf8(bytes);
    case 2: return tag_text::Utf16ToUtf8(bytes, true);
    case 3: return tag_text::CleanUtf8(bytes);
    default: return {};
  }
}

std::string DecodeText(std::string_view content) {
  if (content.empty()) return {};
  return DecodeEncoded(Byte(content, 0), content.substr(1));
}

std::string CommentText(std::string_view content) {
  if (content.size() < 4) return {};
  const int encoding = Byte(content, 0);
  const std::string_view described = content.substr(4);  // after the language
  const std::size_t end = TerminatorAt(encoding, described);
  if (end == std::string_view::npos) return {};
  return DecodeEncoded(encoding, described.substr(end + TerminatorSize(encoding)));
}

std::string UserTextFor(std::string_view content, std::string_view description) {
  if (content.empty()) return {};
  const int encoding = Byte(content, 0);
  const std::string_view described = content.substr(1);
  const std::size_t end = TerminatorAt(encoding, described);
  if (end == std::string_view::npos) return {};
  if (!EqualsIgnoreAsciiCase(DecodeEncoded(encoding, described.substr(0, end)), description)) {
    return {};
  }
  return DecodeEncoded(encoding, described.substr(end + TerminatorSize(encoding)));
}

std::string FrameText(std::string_view tag, std::string_view id) {
  const std::string_view wanted = MajorVersion(tag) == 2 ? V22Id(id) : id;
  if (wanted.empty()) return {};
  const bool comment = id == "COMM";
  std::string text;
  ForEachFrame(tag, [&](const Frame& frame) {
    if (frame.id != wanted) return true;
    text = comment ? CommentText(frame.content) : DecodeText(frame.content);
    return false;  // the first frame with the id is the one read
  });
  return text;
}

std::string UserText(std::string_view tag, std::string_view description) {
  const std::string_view wanted = MajorVersion(tag) == 2 ? "TXX" : "TXXX";
  std::string text;
  ForEachFrame(tag, [&](const Frame& frame) {
    if (frame.id != wanted) return true;
    text = UserTextFor(frame.content, description);
    return text.empty();
  });
  return text;
}

std::string GenreText(std::string_view tcon) {
  auto genre_of_number = [](std::string_view digits) -> std::string {
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (error != std::errc() || end != digits.data() + digits.size()) return {};
    return std::string(id3v1::GenreName(index));
  };
  if (tcon.size() >= 2 && tcon[0] == '(' && tcon[1] == '(') return std::string(tcon.substr(1));
  if (!tcon.empty() && tcon[0] == '(') {
    const std::size_t close = tcon.find(')');
    if (close != std::string_view::npos) {
      const std::string_view reference = tcon.substr(1, close - 1);
      const std::string_view refinement = tcon.substr(close + 1);
      if (!refinement.empty()) return std::string(refinement);
      if (reference == "RX") return "Remix";
      if (reference == "CR") return "Cover";
      if (std::string name = genre_of_number(reference); !name.empty()) return name;
    }
    return std::string(tcon);
  }
  if (std::string name = genre_of_number(tcon); !name.empty()) return name;
  return std::string(tcon);
}

}  // namespace kestrel::id3v2
