#pragma once

#include "audio/audio.h"

// A tempo processor sits between a decoding source channel and the channel that is heard, and
// changes tempo and pitch independently. Three algorithms implement it; one processor is
// current at a time (see current_tempo_processor.h).
namespace kestrel {

// The algorithm indexes of [Advanced] TempoAlgorithm.
inline constexpr int kTempoAlgorithmSoundTouch = 0;
inline constexpr int kTempoAlgorithmSpeedy = 1;
inline constexpr int kTempoAlgorithmSignalsmith = 2;

class TempoProcessor {
 public:
  // Frees the output stream if there is one, and everything the processor owns.
  virtual ~TempoProcessor() = default;

  // Builds the output stream over `source` (a decoding channel of float samples at
  // `source_sample_rate` Hz) with the stored tempo, pitch and rate. Returns the stream, 0 on
  // failure.
  virtual audio::Handle Create(audio::Handle source, float source_sample_rate) = 0;
  // Frees the output stream and forgets the source channel.
  virtual void Destroy() = 0;

  // Stored even while there is no stream, and applied by Create.
  virtual void SetTempo(float percent) = 0;   // 0 unchanged, -50 half speed, 100 double speed
  virtual void SetPitch(float semitones) = 0;
  virtual void SetRate(float factor) = 0;     // 1 unchanged
  virtual float GetTempo() const = 0;
  virtual float GetPitch() const = 0;
  virtual float GetRate() const = 0;

  // The processor has a working output stream.
  virtual bool IsActive() const = 0;
  // kTempoAlgorithmSoundTouch, kTempoAlgorithmSpeedy or kTempoAlgorithmSignalsmith.
  virtual int GetAlgorithm() const = 0;

  // Length and position in the media's own time (not the stretched output's); 0 when unknown
  // or when there is no stream.
  virtual double GetLengthSeconds() const = 0;
  virtual double GetPositionSeconds() const = 0;
  virtual void SetPositionSeconds(double seconds) = 0;

  // The source channel given to Create; 0 after Destroy.
  virtual audio::Handle GetSourceChannel() const = 0;
};

}  // namespace kestrel
