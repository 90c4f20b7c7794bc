#include "audio/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrel::audio {

void Resampler::Configure(int channels, int max_input_frames) {
  channels_ = channels;
  capacity_frames_ = max_input_frames + 8;
  pending_.assign(static_cast<std::size_t>(capacity_frames_) * channels, 0.0f);
  Reset();
}

void Resampler::Reset() {
  pending_frames_ = 0;
  position_ = 0;
  stamp_base_ = 0;
  stamp_step_ = 1;
  ending_ = false;
}

void Resampler::Push(const float* input, int frames, double start_stamp, double stamp_step) {
  frames = std::min(frames, free_frames());
  if (frames <= 0) return;
  std::memcpy(pending_.data() + static_cast<std::size_t>(pending_frames_) * channels_, input,
              sizeof(float) * static_cast<std::size_t>(frames) * channels_);
  stamp_step_ = stamp_step;
  stamp_base_ = start_stamp - pending_frames_ * stamp_step;
  pending_frames_ += frames;
}

float Resampler::At(int frame, int channel) const {
  frame = std::clamp(frame, 0, pending_frames_ - 1);
  return pending_[static_cast<std::size_t>(frame) * channels_ + channel];
}

int Resampler::Pull(float* output, int max_frames, double ratio, double* first_stamp,
                    double* end_stamp) {
  *first_stamp = stamp_base_ + position_ * stamp_step_;
  // Without the end, each output frame needs two input frames after it.
  const int limit = ending_ ? pending_frames_ : pending_frames_ - 2;
  int produced = 0;
  while (produced < max_frames) {
    const int index = static_cast<int>(std::floor(position_));
    if (index >= limit) break;
    const float t = static_cast<float>(position_ - index);
    float* out = output + static_cast<std::size_t>(produced) * channels_;
    for (int c = 0; c < channels_; ++c) {
      const float p0 = At(index - 1, c);
      const float p1 = At(index, c);
      const float p2 = At(index + 1, c);
      const float p3 = At(index + 2, c);
      out[c] = p1 + 0.5f * t *
                        (p2 - p0 +
                         t * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3 +
                              t * (3.0f * (p1 - p2) + p3 - p0)));
    }
    position_ += ratio;
    ++produced;
  }
  double end_position = position_;
  if (ending_) end_position = std::min(end_position, static_cast<double>(pending_frames_));
  *end_stamp = stamp_base_ + end_position * stamp_step_;

  // Keep one frame before the read position for the next interpolation.
  const int drop = std::min(static_cast<int>(std::floor(position_)) - 1, pending_frames_);
  if (drop > 0 && !ending_) {
    std::memmove(pending_.data(), pending_.data() + static_cast<std::size_t>(drop) * channels_,
                 sizeof(float) * static_cast<std::size_t>(pending_frames_ - drop) * channels_);
    pending_frames_ -= drop;
    position_ -= drop;
    stamp_base_ += drop * stamp_step_;
  }
  return produced;
}

}  // namespace kestrel::audio
