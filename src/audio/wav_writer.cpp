#include "audio/wav_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace kestrel::audio {

namespace {

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
constexpr std::int64_t kMaxDataBytes = std::numeric_limits<std::uint32_t>::max() - 36;

void PutLe16(unsigned char* at, std::uint16_t value) {
  at[0] = static_cast<unsigned char>(value & 0xff);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void PutLe32(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xff);
}

std::int16_t ToPcm16(float sample) {
  if (std::isnan(sample)) return 0;
  const float clipped = std::clamp(sample, -1.0f, 1.0f);
  return static_cast<std::int16_t>(std::lrint(clipped * 32767.0f));
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, int sample_rate, int channels,
                     WavSampleFormat format) {
  Close();
  if (sample_rate <= 0 || channels <= 0 || channels > 64) return false;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  channels_ = channels;
  format_ = format;
  frames_written_ = 0;
  failed_ = false;

  const std::uint16_t bytes_per_sample = format == WavSampleFormat::kPcm16 ? 2 : 4;
  const std::uint16_t block_align = static_cast<std::uint16_t>(bytes_per_sample * channels);
  std::array<unsigned char, 44> header{};
  std::memcpy(header.data(), "RIFF", 4);
  PutLe32(header.data() + 4, 36);
  std::memcpy(header.data() + 8, "WAVEfmt ", 8);
  PutLe32(header.data() + 16, 16);
  PutLe16(header.data() + 20, format == WavSampleFormat::kPcm16 ? 1 : 3);
  PutLe16(header.data() + 22, static_cast<std::uint16_t>(channels));
  PutLe32(header.data() + 24, static_cast<std::uint32_t>(sample_rate));
  PutLe32(header.data() + 28, static_cast<std::uint32_t>(sample_rate) * block_align);
  PutLe16(header.data() + 32, block_align);
  PutLe16(header.data() + 34, static_cast<std::uint16_t>(bytes_per_sample * 8));
  std::memcpy(header.data() + 36, "data", 4);
  PutLe32(header.data() + 40, 0);
  if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) failed_ = true;
  return !failed_;
}

bool WavWriter::Write(const float* samples, std::int64_t frames) {
  if (!file_ || failed_) return false;
  if (frames <= 0) return true;
  const int bytes_per_sample = format_ == WavSampleFormat::kPcm16 ? 2 : 4;
  if ((frames_written_ + frames) * channels_ * bytes_per_sample > kMaxDataBytes) {
    failed_ = true;  // a RIFF file cannot grow past 4 GiB
    return false;
  }
  // Converted in pieces on the stack: little-endian bytes whatever the machine.
  constexpr std::int64_t kPieceSamples = 2048;
  std::array<unsigned char, kPieceSamples * 4> bytes;
  std::int64_t remaining = frames * channels_;
  while (remaining > 0) {
    const std::int64_t count = std::min(remaining, kPieceSamples);
    for (std::int64_t i = 0; i < count; ++i) {
      if (format_ == WavSampleFormat::kPcm16) {
        PutLe16(bytes.data() + 2 * i, static_cast<std::uint16_t>(ToPcm16(samples[i])));
      } else {
        std::uint32_t bits;
        std::memcpy(&bits, &samples[i], 4);
        PutLe32(bytes.data() + 4 * i, bits);
      }
    }
    const std::size_t size = static_cast<std::size_t>(count * bytes_per_sample);
    if (std::fwrite(bytes.data(), 1, size, file_) != size) {
      failed_ = true;
      return false;
    }
    samples += count;
    remaining -= count;
  }
  frames_written_ += frames;
  return true;
}

bool WavWriter::PatchHeader() {
  const int bytes_per_sample = format_ == WavSampleFormat::kPcm16 ? 2 : 4;
  const auto data_bytes = static_cast<std::uint32_t>(frames_written_ * channels_ * bytes_per_sample);
  unsigned char value[4];
  PutLe32(value, data_bytes + 36);
  if (std::fseek(file_, kRiffSizeOffset, SEEK_SET) != 0 || std::fwrite(value, 1, 4, file_) != 4) {
    return false;
  }
  PutLe32(value, data_bytes);
  return std::fseek(file_, kDataSizeOffset, SEEK_SET) == 0 && std::fwrite(value, 1, 4, file_) == 4;
}

bool WavWriter::Close() {
  if (!file_) return true;
  bool ok = !failed_ && PatchHeader();
  if (std::fclose(file_) != 0) ok = false;
  file_ = nullptr;
  return ok;
}

}  // namespace kestrel::audio
