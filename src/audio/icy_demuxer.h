#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Shoutcast/Icecast in-band metadata: with "icy-metaint: N" the server sends N audio bytes, then
// one length byte L, then L × 16 bytes of metadata text (padded with NULs), then N audio bytes
// again, and so on. This splits such a body back into the audio and the metadata blocks. Pure:
// no I/O, fed in pieces of any size as they arrive.
namespace kestrel::audio {

class IcyDemuxer {
 public:
  // `metaint` 0: the body holds no metadata, every byte is audio.
  explicit IcyDemuxer(std::size_t metaint) : metaint_(metaint), audio_left_(metaint) {}

  // Appends the audio bytes of `bytes` to `audio` and every metadata block completed by them to
  // `blocks` (trailing NULs dropped; a block of length 0 is not reported).
  void Feed(std::string_view bytes, std::string* audio, std::vector<std::string>* blocks);

 private:
  enum class Stage { kAudio, kLength, kMetadata };

  const std::size_t metaint_;
  Stage stage_ = Stage::kAudio;
  std::size_t audio_left_;     // audio bytes before the next length byte
  std::size_t metadata_left_ = 0;
  std::string metadata_;
};

}  // namespace kestrel::audio
