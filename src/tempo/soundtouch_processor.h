#pragma once

#include "tempo/tempo_processor.h"

namespace kestrel {

// The default processor: the audio layer's SoundTouch tempo stream over the source, set up with
// the [SoundTouch] options. The output stream owns the source channel and frees it with itself.
class SoundTouchProcessor final : public TempoProcessor {
 public:
  SoundTouchProcessor() = default;
  ~SoundTouchProcessor() override;
  SoundTouchProcessor(const SoundTouchProcessor&) = delete;
  SoundTouchProcessor& operator=(const SoundTouchProcessor&) = delete;

  audio::Handle Create(audio::Handle source, float source_sample_rate) override;
  void Destroy() override;

  void SetTempo(float percent) override;
  void SetPitch(float semitones) override;
  void SetRate(float factor) override;
  float GetTempo() const override { return tempo_; }
  float GetPitch() const override { return pitch_; }
  float GetRate() const override { return rate_; }

  bool IsActive() const override { return stream_ != 0; }
  int GetAlgorithm() const override { return kTempoAlgorithmSoundTouch; }

  double GetLengthSeconds() const override;
  double GetPositionSeconds() const override;
  void SetPositionSeconds(double seconds) override;

  audio::Handle GetSourceChannel() const override { return source_; }

 private:
  audio::Handle source_ = 0;
  audio::Handle stream_ = 0;
  float source_sample_rate_ = 44100.0f;
  float tempo_ = 0.0f;
  float pitch_ = 0.0f;
  float rate_ = 1.0f;
};

}  // namespace kestrel
