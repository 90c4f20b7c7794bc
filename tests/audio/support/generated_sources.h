#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "audio/source.h"

// Sources whose every sample is known in advance, for tests of the audio layer.
namespace kestrel::test {

// A sine wave of `frequency` Hz and `amplitude`, the same on every channel, `length_frames`
// long (-1: endless). Seeks to any frame exactly.
class SineSource : public audio::Source {
 public:
  SineSource(int sample_rate, int channels, double frequency, float amplitude,
             std::int64_t length_frames);
  ~SineSource() override;

  audio::SourceFormat Format() const override { return {sample_rate_, channels_}; }
  std::int64_t Read(float* out, std::int64_t frames) override;
  bool Seek(std::int64_t frame) override;
  std::int64_t LengthFrames() const override { return length_; }
  double NextFrameSeconds() const override;
  std::string CodecName() const override { return "sine"; }

  // Runs when the source is destroyed (to see when a channel let go of it).
  std::function<void()> on_destroy;

 private:
  int sample_rate_;
  int channels_;
  double frequency_;
  float amplitude_;
  std::int64_t length_;
  std::int64_t next_ = 0;
};

// A stereo source that writes its own frame number into every frame, readable back from a
// 16-bit recording: left = (frame % 8192 + 0.5) / 8192 - 0.5, right = (frame / 8192 % 64 + 0.5)
// / 64 - 0.5. Never silent, so the end of the sound in a recording is its last frame.
class FrameCounterSource : public audio::Source {
 public:
  FrameCounterSource(int sample_rate, std::int64_t length_frames);

  audio::SourceFormat Format() const override { return {sample_rate_, 2}; }
  std::int64_t Read(float* out, std::int64_t frames) override;
  bool Seek(std::int64_t frame) override;
  std::int64_t LengthFrames() const override { return length_; }
  double NextFrameSeconds() const override;

  static void Encode(std::int64_t frame, float* left, float* right);
  // The frame number a (possibly 16-bit rounded) frame carries.
  static std::int64_t Decode(float left, float right);

 private:
  int sample_rate_;
  std::int64_t length_;
  std::int64_t next_ = 0;
};

}  // namespace kestrel::test
