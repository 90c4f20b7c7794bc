#pragma once

#include <string>

// Kestrel's side of the benchmarks: the whole channel path on the null device, and the same
// work without the layer (the decoder alone, the decoder and stretcher alone) for a breakdown.
namespace kestrel::bench {

struct PathRun {
  bool ok = false;
  double wall_seconds = 0;
  double cpu_seconds = 0;   // user + system of this whole process over the run
  double open_seconds = 0;  // PlayThroughLayer: making the channels, before Play (wall)
};

// Starts output on the first null device with its clock as fast as it goes.
bool StartFastNullOutput();
void StopOutput();

// File → decoding channel → tempo stream (tempo in percent) → null device: from Play to the
// end sync. Not ok unless the heard position reached the end.
PathRun PlayThroughLayer(const std::string& file, float tempo_percent);

// The decoder alone: OpenFileSource, then Read in the channel's block size to the end.
PathRun DecodeOnly(const std::string& file);

// The decoder and the stretcher alone, without channels: CreateTempoSource over OpenFileSource.
PathRun DecodeAndStretch(const std::string& file, float tempo_percent);

// Child mode for the memory figure: plays the file through a tempo stream at tempo 0 on the
// null device in real time until killed (or the end). Returns the exit status.
int PlayInRealTime(const std::string& file);

}  // namespace kestrel::bench
