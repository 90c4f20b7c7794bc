#include "startup/startup_inputs.h"

#include <iostream>

#include "audio/bench_inputs.h"

namespace kestrel::bench {
namespace {

// Thirty seconds of the benchmarks' signal: every sample from the first one on is non-silent,
// so "first audio" is the first sample either program hands out.
bool Make(const std::filesystem::path& output, const std::vector<std::string>& codec) {
  if (std::filesystem::exists(output)) return true;
  std::cerr << "making " << output << " (once)\n";
  std::vector<std::string> arguments = ToneSignalInput(30);
  arguments.insert(arguments.end(), codec.begin(), codec.end());
  return RunFfmpegTo(arguments, output);
}

}  // namespace

std::vector<StartupInput> PrepareStartupInputs(const std::filesystem::path& cache) {
  std::error_code error;
  std::filesystem::create_directories(cache, error);
  const StartupInput flac{"FLAC", cache / "tones-30s.flac"};
  const StartupInput mp3{"MP3", cache / "tones-30s.mp3"};
  if (!Make(flac.file, {"-c:a", "flac", "-sample_fmt", "s16"})) return {};
  if (!Make(mp3.file, {"-c:a", "libmp3lame", "-b:a", "192k"})) return {};
  return {flac, mp3};
}

}  // namespace kestrel::bench
