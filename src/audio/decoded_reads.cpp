#include "audio/decoded_reads.h"

#include <mutex>

#include "audio/audio_error.h"
#include "audio/layer.h"

namespace kestrel::audio {

std::int64_t PullDecoded(const std::shared_ptr<Channel>& channel, float* out, std::int64_t frames,
                         bool* ended) {
  std::vector<SyncEntry> due;
  std::int64_t got = 0;
  {
    std::lock_guard lock(channel->mutex);
    if (!channel->source || channel->decode_ended) {
      *ended = true;
      return 0;
    }
    got = ReadDecoded(*channel, out, frames);
    *ended = channel->decode_ended;
    if (channel->decode_ended) due = CollectSyncsLocked(*channel, SyncType::kEnd);
  }
  if (!due.empty()) PostSyncs(channel, std::move(due));
  return got;
}

namespace {

class DecodingChannelReader : public Source {
 public:
  explicit DecodingChannelReader(std::shared_ptr<Channel> channel)
      : channel_(std::move(channel)), format_(channel_->format) {}

  SourceFormat Format() const override { return format_; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    bool ended = false;
    const std::int64_t got = PullDecoded(channel_, out, frames, &ended);
    if (got == 0 && !ended) {
      Fail(kErrorNotAvailable);  // a live source has nothing yet
      return -1;
    }
    return got;
  }

  bool Seek(std::int64_t frame) override {
    std::lock_guard lock(channel_->mutex);
    if (!channel_->source) return Fail(kErrorHandle);
    if (!channel_->source->Seek(frame)) return false;
    channel_->decode_ended = false;
    return true;
  }

  std::int64_t LengthFrames() const override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->LengthFrames() : -1;
  }

  double NextFrameSeconds() const override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->NextFrameSeconds() : 0.0;
  }

  std::optional<std::string> Tags(TagBlock block) const override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->Tags(block) : std::nullopt;
  }

  double BitrateKbps() const override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->BitrateKbps() : 0.0;
  }

  std::string CodecName() const override { return channel_->codec; }

  bool SetAttribute(Attribute attribute, float value) override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->SetAttribute(attribute, value)
                            : Fail(kErrorHandle);
  }

  bool GetAttribute(Attribute attribute, float* value) const override {
    std::lock_guard lock(channel_->mutex);
    return channel_->source ? channel_->source->GetAttribute(attribute, value)
                            : Fail(kErrorHandle);
  }

 private:
  std::shared_ptr<Channel> channel_;
  SourceFormat format_;
};

}  // namespace

std::unique_ptr<Source> MakeDecodingChannelReader(std::shared_ptr<Channel> channel) {
  return std::make_unique<DecodingChannelReader>(std::move(channel));
}

}  // namespace kestrel::audio
