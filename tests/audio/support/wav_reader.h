#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// Reads back the WAV files the layer writes (16-bit PCM or 32-bit float), for tests.
namespace kestrel::test {

struct WavContents {
  int sample_rate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved, scaled to -1..1
  std::int64_t frames() const {
    return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0;
  }
};

std::optional<WavContents> ReadWav(const std::filesystem::path& file);

}  // namespace kestrel::test
