// "NAME=value" tag lists (Vorbis comments, APE, MP4, WMA, RIFF INFO) over arbitrary bytes. The
// first line of the input is the name looked up, the rest the list.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/utf8.h"
#include "engine/tag_name_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  const auto bytes = std::make_unique<char[]>(size ? size : 1);
  std::copy(data, data + size, bytes.get());
  const std::string_view input(bytes.get(), size);
  const std::size_t newline = input.find('\n');
  const std::string_view name = input.substr(0, newline);
  const std::string_view list =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  for (const std::string_view wanted : {name, std::string_view("TITLE"), tag_list::RiffInfoId(name)}) {
    const std::string value = tag_list::Value(list, wanted);
    if (!IsValidUtf8(value)) __builtin_trap();
    // Each byte gives at most one character, three bytes when it is replaced by U+FFFD.
    if (value.size() > 3 * list.size()) __builtin_trap();
  }
  return 0;
}
