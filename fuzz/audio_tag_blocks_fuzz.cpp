// Tag-block extraction (ID3v1/v2, APEv2, FLAC and Ogg Vorbis comments) over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/byte_reader.h"
#include "audio/tag_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto reader = kestrel::audio::MakeMemoryReader(
      std::string(reinterpret_cast<const char*>(data), size));
  const auto blocks = kestrel::audio::ReadFileTagBlocks(*reader);
  for (const auto& [kind, bytes] : blocks) {
    // List blocks always end with an empty entry.
    if (kind != kestrel::audio::TagBlock::kId3v1 && kind != kestrel::audio::TagBlock::kId3v2 &&
        (bytes.empty() || bytes.back() != '\0')) {
      __builtin_trap();
    }
  }
  return 0;
}
