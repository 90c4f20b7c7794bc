#pragma once

// Attributes of a channel. The layer applies frequency and volume itself; the others belong to
// the channel's source (a tempo stream's stretcher, an internet stream's buffer) and are passed
// to it.
namespace kestrel::audio {

enum class Attribute {
  kFrequency,    // playback sample rate: rate × source rate plays faster and higher
  kVolume,       // linear gain; above 1 amplifies
  kBufferFill,   // internet streams: how much of the buffer must be filled (0-1)
  kBitrate,      // read only: kilobits per second
  kTempo,        // tempo streams: percent change (-95 .. 5000)
  kTempoPitch,   // tempo streams: semitones (-60 .. 60)
  kTempoFrequency,  // tempo streams: the stretcher's input rate
  kTempoUseAntiAliasFilter,
  kTempoAntiAliasFilterLength,  // rounded to a multiple of 8 (8-128)
  kTempoUseQuickAlgorithm,
  kTempoSequenceMs,
  kTempoSeekWindowMs,
  kTempoOverlapMs,
  kTempoPreventClick,
};

}  // namespace kestrel::audio
