// ID3v2 tags (versions 2.2-2.4) over arbitrary bytes: the frame walk, text decoding in every
// encoding, comments, user texts and genre references. Every text must come out as valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "engine/tag_id3v2.h"

namespace {

void CheckText(const std::string& text) {
  if (!kestrel::IsValidUtf8(text)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  // An allocation of exactly the input's size, so any read past it is caught.
  const auto bytes = std::make_unique<char[]>(size ? size : 1);
  std::copy(data, data + size, bytes.get());
  const std::string_view tag(bytes.get(), size);

  for (const char* id : {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "TRCK", "TCON", "COMM"}) {
    const std::string text = id3v2::FrameText(tag, id);
    CheckText(text);
    CheckText(id3v2::GenreText(text));
  }
  CheckText(id3v2::UserText(tag, "comment"));
  id3v2::ForEachFrame(tag, [](const id3v2::Frame& frame) {
    CheckText(id3v2::DecodeText(frame.content));
    CheckText(id3v2::CommentText(frame.content));
    return true;
  });
  // The input read directly as each encoding's text.
  for (int encoding = 0; encoding <= 4; ++encoding) CheckText(id3v2::DecodeEncoded(encoding, tag));
  CheckText(id3v2::CommentText(tag));
  return 0;
}
