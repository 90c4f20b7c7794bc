// Channels fed by a callback (the Speedy and Signalsmith processors' output streams).
#include <algorithm>

#include "audio/audio.h"
#include "audio/layer.h"

namespace kestrel::audio {

namespace {

class CallbackSource : public Source {
 public:
  CallbackSource(int sample_rate, int channels, StreamCallback callback)
      : format_{sample_rate, channels}, callback_(std::move(callback)) {}

  SourceFormat Format() const override { return format_; }

  // A callback that writes nothing without ending has nothing yet: the channel stalls (read
  // as "not available") and asks again on the next update.
  std::int64_t Read(float* out, std::int64_t frames) override {
    if (ended_) return 0;
    bool ended = false;
    std::int64_t written = callback_(out, frames, &ended);
    written = std::clamp<std::int64_t>(written, 0, frames);
    produced_ += written;
    if (ended) ended_ = true;
    if (written == 0 && !ended_) {
      Fail(kErrorNotAvailable);
      return -1;
    }
    return written;
  }

  // The callback's owner moves the material itself; seeking a user stream only drops what
  // the channel buffered and sets the position it reports.
  bool Seek(std::int64_t frame) override {
    produced_ = frame;
    ended_ = false;
    return true;
  }

  std::int64_t LengthFrames() const override { return -1; }

  double NextFrameSeconds() const override {
    return static_cast<double>(produced_) / format_.sample_rate;
  }

 private:
  SourceFormat format_;
  StreamCallback callback_;
  std::int64_t produced_ = 0;
  bool ended_ = false;
};

}  // namespace

Handle CreateUserStream(int sample_rate, int channels, std::uint32_t flags,
                        StreamCallback callback) {
  if (!callback) return Fail(kErrorIllegalParam), 0;
  if (sample_rate <= 0 || sample_rate > 1'000'000) return Fail(kErrorFreq), 0;
  if (channels <= 0 || channels > 32) return Fail(kErrorFormat), 0;
  return RegisterChannel(std::make_unique<CallbackSource>(sample_rate, channels, std::move(callback)),
                         flags);
}

}  // namespace kestrel::audio
