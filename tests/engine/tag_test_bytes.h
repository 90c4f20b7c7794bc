#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Hand-built tag bytes for the tag reader tests.
namespace kestrel::test {

inline std::string BigEndian32(std::uint32_t value) {
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
  return out;
}

inline std::string Syncsafe32(std::uint32_t value) {
  std::string out;
  for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((value >> shift) & 0x7F);
  return out;
}

// A version 2.3 frame (size as a plain 32-bit number) or 2.4 frame (syncsafe size).
inline std::string Frame(int version, std::string_view id, std::string_view content,
                         unsigned char format_flags = 0) {
  std::string frame(id);
  frame += version == 4 ? Syncsafe32(static_cast<std::uint32_t>(content.size()))
                        : BigEndian32(static_cast<std::uint32_t>(content.size()));
  frame += '\0';
  frame += static_cast<char>(format_flags);
  frame += content;
  return frame;
}

// A version 2.2 frame: a 3-character id and a 3-byte size.
inline std::string FrameV22(std::string_view id, std::string_view content) {
  std::string frame(id);
  frame += BigEndian32(static_cast<std::uint32_t>(content.size())).substr(1);
  frame += content;
  return frame;
}

// The whole tag: header with the version, flags and the syncsafe size of `body`, then `body`.
inline std::string Id3v2Tag(int version, std::string_view body, unsigned char flags = 0) {
  std::string tag = "ID3";
  tag += static_cast<char>(version);
  tag += '\0';
  tag += static_cast<char>(flags);
  tag += Syncsafe32(static_cast<std::uint32_t>(body.size()));
  tag += body;
  return tag;
}

// Unsynchronises bytes: a zero byte after every FF that is followed by 0xE0 or more, by a zero
// byte, or that ends the data.
inline std::string Unsynchronise(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (static_cast<unsigned char>(bytes[i]) != 0xFF) continue;
    if (i + 1 == bytes.size() || static_cast<unsigned char>(bytes[i + 1]) >= 0xE0 ||
        bytes[i + 1] == '\0') {
      out += '\0';
    }
  }
  return out;
}

// UTF-16 little-endian with its byte-order mark, of ASCII text.
inline std::string Utf16LeWithBom(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (const char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

inline std::string Utf16Be(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) {
    out += '\0';
    out += c;
  }
  return out;
}

// A 128-byte ID3v1 block. With `track` above 0 it is an ID3v1.1 block (byte 125 zero, byte 126
// the track); fields longer than their room are cut.
inline std::string Id3v1Block(std::string_view title, std::string_view artist,
                              std::string_view album, std::string_view year,
                              std::string_view comment, int track, int genre) {
  std::string block(128, '\0');
  block.replace(0, 3, "TAG");
  auto put = [&](std::size_t at, std::size_t room, std::string_view text) {
    block.replace(at, std::min(room, text.size()), text.substr(0, room));
  };
  put(3, 30, title);
  put(33, 30, artist);
  put(63, 30, album);
  put(93, 4, year);
  put(97, track > 0 ? 28 : 30, comment);
  if (track > 0) {
    block[125] = '\0';
    block[126] = static_cast<char>(track);
  }
  block[127] = static_cast<char>(genre);
  return block;
}

// The bytes in an allocation of exactly their size, so AddressSanitizer sees any read past them.
class ExactBytes {
 public:
  explicit ExactBytes(std::string_view bytes)
      : size_(bytes.size()), data_(new char[bytes.size() ? bytes.size() : 1]) {
    std::copy(bytes.begin(), bytes.end(), data_.get());
  }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  std::size_t size_;
  std::unique_ptr<char[]> data_;
};

}  // namespace kestrel::test
