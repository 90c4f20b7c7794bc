// ID3v1 blocks over arbitrary bytes: fields, the ID3v1.1 track and the genre table.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/utf8.h"
#include "engine/tag_id3v1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  const auto bytes = std::make_unique<char[]>(size ? size : 1);
  std::copy(data, data + size, bytes.get());
  const auto fields = id3v1::Parse(std::string_view(bytes.get(), size));
  if (!fields) return 0;
  for (const std::string* text :
       {&fields->title, &fields->artist, &fields->album, &fields->year, &fields->comment}) {
    if (!IsValidUtf8(*text) || text->find('\0') != std::string::npos) __builtin_trap();
  }
  if (fields->track < 0 || fields->track > 255) __builtin_trap();
  if (!IsValidUtf8(id3v1::GenreName(fields->genre))) __builtin_trap();
  return 0;
}
