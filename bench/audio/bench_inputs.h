#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The benchmark inputs, made once with the `ffmpeg` program and kept in a cache folder.
namespace kestrel::bench {

struct BenchInput {
  std::string label;                  // "FLAC", "MP3"
  std::filesystem::path file;         // the 10-minute encoded file
  std::filesystem::path decoded_wav;  // the same decoded to 16-bit WAV, for soundstretch
};

// Makes whichever of the inputs is missing in `cache`; false (with a message on stderr) when
// ffmpeg fails.
bool PrepareInputs(const std::filesystem::path& cache, BenchInput* flac, BenchInput* mp3);

inline constexpr double kInputSeconds = 600.0;

// The ffmpeg input arguments of the benchmarks' signal: a chord per side whose loudness drifts,
// plus a little noise, so no encoder finds it trivially predictable and no sample is silent.
std::vector<std::string> ToneSignalInput(int seconds);

// Runs ffmpeg with these arguments writing `output`, through a ".part" file renamed when whole;
// false (with a message on stderr) when it fails.
bool RunFfmpegTo(const std::vector<std::string>& arguments, const std::filesystem::path& output);

}  // namespace kestrel::bench
