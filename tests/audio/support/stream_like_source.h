#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "audio/source.h"

// A source that stands for an internet stream: endless silence, no length, and the header and
// metadata blocks a stream source keeps.
namespace kestrel::test {

class StreamLikeSource : public audio::Source {
 public:
  // `meta`, when given, is the metadata block as it stands now (empty: none yet): the test
  // changes it to stand for a new title arriving. It wins over a kMeta entry of `blocks`.
  explicit StreamLikeSource(std::map<audio::TagBlock, std::string> blocks,
                            std::shared_ptr<const std::string> meta = nullptr)
      : blocks_(std::move(blocks)), meta_(std::move(meta)) {}

  audio::SourceFormat Format() const override { return {44100, 2}; }
  std::int64_t Read(float* out, std::int64_t frames) override {
    std::fill(out, out + frames * 2, 0.0f);
    return frames;
  }
  bool Seek(std::int64_t) override { return false; }
  std::int64_t LengthFrames() const override { return -1; }
  double NextFrameSeconds() const override { return 0; }
  std::optional<std::string> Tags(audio::TagBlock block) const override {
    if (block == audio::TagBlock::kMeta && meta_) {
      if (meta_->empty()) return std::nullopt;
      return *meta_;
    }
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<audio::TagBlock, std::string> blocks_;
  std::shared_ptr<const std::string> meta_;
};

}  // namespace kestrel::test
