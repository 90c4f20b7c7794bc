#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// A RIFF/WAVE file written as it goes: 16-bit PCM or 32-bit float samples from interleaved float.
// The header's sizes are patched when the writer is closed (or destroyed), so a file that was
// never closed still opens in most players, with a wrong length.
namespace kestrel::audio {

enum class WavSampleFormat { kPcm16, kFloat32 };

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates (or truncates) the file and writes the header. False when it cannot be created.
  bool Open(const std::string& path, int sample_rate, int channels,
            WavSampleFormat format = WavSampleFormat::kPcm16);
  // Appends frames of interleaved float (clipped to -1..1 for PCM). False after a write error.
  bool Write(const float* samples, std::int64_t frames);
  // Patches the sizes and closes. False when any write failed.
  bool Close();

  bool is_open() const { return file_ != nullptr; }
  std::int64_t frames_written() const { return frames_written_; }

 private:
  bool PatchHeader();

  std::FILE* file_ = nullptr;
  int channels_ = 0;
  WavSampleFormat format_ = WavSampleFormat::kPcm16;
  std::int64_t frames_written_ = 0;
  bool failed_ = false;
};

}  // namespace kestrel::audio
