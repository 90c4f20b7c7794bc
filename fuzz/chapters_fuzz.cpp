// Feeds arbitrary bytes to the chapter readers, as a Vorbis comment list, as a whole ID3v2 tag,
// and as the frames of an ID3v2.3 and a 2.4 tag built around them. Every chapter read must start
// at a finite time that is not negative, carry valid UTF-8, and come out of the ID3v2 reader in
// time order.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/utf8.h"
#include "engine/chapter_id3.h"
#include "engine/chapter_vorbis.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckChapters(const kestrel::ChapterList& list, bool sorted) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    Check(std::isfinite(list[i].start) && list[i].start >= 0);
    Check(kestrel::IsValidUtf8(list[i].title));
    if (sorted && i > 0) Check(list[i - 1].start <= list[i].start);
  }
}

// An ID3v2 tag of `version` whose frames are `frames`, the header flags taken from the input.
std::string TagAround(std::string_view frames, int version, std::uint8_t flags) {
  const auto size = static_cast<std::uint32_t>(frames.size());
  std::string tag = "ID3";
  tag += static_cast<char>(version);
  tag += '\0';
  tag += static_cast<char>(flags);
  for (const int shift : {21, 14, 7, 0}) tag += static_cast<char>((size >> shift) & 0x7F);
  tag.append(frames);
  return tag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckChapters(kestrel::ParseVorbisChapters(bytes), false);
  CheckChapters(kestrel::ParseId3v2Chapters(bytes), true);
  if (!bytes.empty()) {
    const auto flags = static_cast<std::uint8_t>(bytes.front());
    const std::string_view frames = bytes.substr(1);
    CheckChapters(kestrel::ParseId3v2Chapters(TagAround(frames, 3, flags)), true);
    CheckChapters(kestrel::ParseId3v2Chapters(TagAround(frames, 4, flags)), true);
  }
  return 0;
}
