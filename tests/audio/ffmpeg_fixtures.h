#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Media fixtures made at test time with the `ffmpeg` program.
namespace kestrel::test {

// Runs `ffmpeg -v error -y <arguments>` (an argument vector, no shell); true when it exits 0.
bool RunFfmpeg(const std::vector<std::string>& arguments);

// The 3-second stereo test signal: two chirps (200→1100 Hz left, 300→900 Hz right) at 44.1 kHz.
// A chirp never repeats, so audio read from the wrong place never matches by chance.
std::vector<std::string> ChirpInput(double seconds = 3.0);

// Encodes the chirp to `file` with the extra output arguments (codec, tags...).
bool MakeChirpFile(const std::filesystem::path& file, const std::vector<std::string>& output_args,
                   double seconds = 3.0);

}  // namespace kestrel::test
