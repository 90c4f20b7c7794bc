// The ICY metadata splitter over any body, fed whole and in pieces: the audio and the blocks
// must come out the same however the bytes arrive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "audio/icy_demuxer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the metadata interval (0 means none) and the piece size.
  const std::size_t metaint = data[0];
  const std::size_t piece = static_cast<std::size_t>(data[1] % 17) + 1;
  const std::string_view body(reinterpret_cast<const char*>(data) + 2, size - 2);

  kestrel::audio::IcyDemuxer whole(metaint);
  std::string whole_audio;
  std::vector<std::string> whole_blocks;
  whole.Feed(body, &whole_audio, &whole_blocks);

  kestrel::audio::IcyDemuxer pieces(metaint);
  std::string pieces_audio;
  std::vector<std::string> pieces_blocks;
  for (std::size_t offset = 0; offset < body.size(); offset += piece) {
    pieces.Feed(body.substr(offset, piece), &pieces_audio, &pieces_blocks);
  }
  if (whole_audio != pieces_audio || whole_blocks != pieces_blocks) std::abort();
  if (whole_audio.size() > body.size()) std::abort();
  for (const std::string& block : whole_blocks) {
    if (block.empty() || block.size() > 255 * 16 || block.back() == '\0') std::abort();
  }
  return 0;
}
