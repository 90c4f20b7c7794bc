#include "audio/support/wav_reader.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace kestrel::test {

namespace {

std::uint32_t Le32(const unsigned char* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

std::uint16_t Le16(const unsigned char* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

}  // namespace

std::optional<WavContents> ReadWav(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    return std::nullopt;
  }
  WavContents wav;
  int format = 0, bits = 0;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = Le32(data + at + 4);
    const std::size_t body = at + 8;
    const std::size_t available = std::min<std::size_t>(size, bytes.size() - body);
    if (bytes.compare(at, 4, "fmt ") == 0 && available >= 16) {
      format = Le16(data + body);
      wav.channels = Le16(data + body + 2);
      wav.sample_rate = static_cast<int>(Le32(data + body + 4));
      bits = Le16(data + body + 14);
    } else if (bytes.compare(at, 4, "data") == 0) {
      if (format == 1 && bits == 16) {
        for (std::size_t i = 0; i + 1 < available; i += 2) {
          wav.samples.push_back(static_cast<std::int16_t>(Le16(data + body + i)) / 32767.0f);
        }
      } else if (format == 3 && bits == 32) {
        for (std::size_t i = 0; i + 3 < available; i += 4) {
          float value;
          std::memcpy(&value, data + body + i, 4);
          wav.samples.push_back(value);
        }
      } else {
        return std::nullopt;
      }
      return wav.channels > 0 ? std::optional(wav) : std::nullopt;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

}  // namespace kestrel::test
