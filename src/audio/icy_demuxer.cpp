#include "audio/icy_demuxer.h"

#include <algorithm>

namespace kestrel::audio {

void IcyDemuxer::Feed(std::string_view bytes, std::string* audio,
                      std::vector<std::string>* blocks) {
  if (metaint_ == 0) {
    audio->append(bytes);
    return;
  }
  while (!bytes.empty()) {
    switch (stage_) {
      case Stage::kAudio: {
        const std::size_t count = std::min(audio_left_, bytes.size());
        audio->append(bytes.substr(0, count));
        bytes.remove_prefix(count);
        audio_left_ -= count;
        if (audio_left_ == 0) stage_ = Stage::kLength;
        break;
      }
      case Stage::kLength: {
        metadata_left_ = static_cast<std::size_t>(static_cast<unsigned char>(bytes.front())) * 16;
        bytes.remove_prefix(1);
        metadata_.clear();
        audio_left_ = metaint_;
        stage_ = metadata_left_ > 0 ? Stage::kMetadata : Stage::kAudio;
        break;
      }
      case Stage::kMetadata: {
        const std::size_t count = std::min(metadata_left_, bytes.size());
        metadata_.append(bytes.substr(0, count));
        bytes.remove_prefix(count);
        metadata_left_ -= count;
        if (metadata_left_ == 0) {
          const std::size_t end = metadata_.find_last_not_of('\0');
          metadata_.resize(end == std::string::npos ? 0 : end + 1);
          if (!metadata_.empty()) blocks->push_back(std::move(metadata_));
          metadata_.clear();
          stage_ = Stage::kAudio;
        }
        break;
      }
    }
  }
}

}  // namespace kestrel::audio
