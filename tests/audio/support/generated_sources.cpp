#include "audio/support/generated_sources.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/audio_error.h"

namespace kestrel::test {

SineSource::SineSource(int sample_rate, int channels, double frequency, float amplitude,
                       std::int64_t length_frames)
    : sample_rate_(sample_rate),
      channels_(channels),
      frequency_(frequency),
      amplitude_(amplitude),
      length_(length_frames) {}

SineSource::~SineSource() {
  if (on_destroy) on_destroy();
}

std::int64_t SineSource::Read(float* out, std::int64_t frames) {
  if (length_ >= 0) frames = std::min(frames, length_ - next_);
  for (std::int64_t f = 0; f < frames; ++f) {
    const double phase = 2.0 * std::numbers::pi * frequency_ * static_cast<double>(next_ + f) /
                         sample_rate_;
    const auto value = static_cast<float>(amplitude_ * std::sin(phase));
    for (int c = 0; c < channels_; ++c) out[f * channels_ + c] = value;
  }
  next_ += std::max<std::int64_t>(frames, 0);
  return std::max<std::int64_t>(frames, 0);
}

bool SineSource::Seek(std::int64_t frame) {
  if (frame < 0 || (length_ >= 0 && frame > length_)) return audio::Fail(audio::kErrorPosition);
  next_ = frame;
  return true;
}

double SineSource::NextFrameSeconds() const {
  return static_cast<double>(next_) / sample_rate_;
}

FrameCounterSource::FrameCounterSource(int sample_rate, std::int64_t length_frames)
    : sample_rate_(sample_rate), length_(length_frames) {}

void FrameCounterSource::Encode(std::int64_t frame, float* left, float* right) {
  *left = static_cast<float>((static_cast<double>(frame % 8192) + 0.5) / 8192.0 - 0.5);
  *right = static_cast<float>((static_cast<double>(frame / 8192 % 64) + 0.5) / 64.0 - 0.5);
}

std::int64_t FrameCounterSource::Decode(float left, float right) {
  const auto fine = static_cast<std::int64_t>(std::floor((left + 0.5) * 8192.0));
  const auto coarse = static_cast<std::int64_t>(std::floor((right + 0.5) * 64.0));
  return coarse * 8192 + fine;
}

std::int64_t FrameCounterSource::Read(float* out, std::int64_t frames) {
  frames = std::max<std::int64_t>(std::min(frames, length_ - next_), 0);
  for (std::int64_t f = 0; f < frames; ++f) Encode(next_ + f, &out[2 * f], &out[2 * f + 1]);
  next_ += frames;
  return frames;
}

bool FrameCounterSource::Seek(std::int64_t frame) {
  if (frame < 0 || frame > length_) return audio::Fail(audio::kErrorPosition);
  next_ = frame;
  return true;
}

double FrameCounterSource::NextFrameSeconds() const {
  return static_cast<double>(next_) / sample_rate_;
}

}  // namespace kestrel::test
