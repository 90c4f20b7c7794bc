#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The start-up benchmark's inputs: 30 seconds of 44.1 kHz stereo as FLAC and as MP3, made once
// with the `ffmpeg` program and kept in a cache folder.
namespace kestrel::bench {

struct StartupInput {
  std::string label;           // "FLAC", "MP3"
  std::filesystem::path file;  // the 30-second encoded file
};

// Makes whichever input is missing in `cache`; empty (with a message on stderr) when ffmpeg fails.
std::vector<StartupInput> PrepareStartupInputs(const std::filesystem::path& cache);

}  // namespace kestrel::bench
