// The FFmpeg source over arbitrary bytes: open, read, seek about, read again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/byte_reader.h"
#include "audio/ffmpeg_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto source = kestrel::audio::OpenStreamSource(kestrel::audio::MakeMemoryReader(
      std::string(reinterpret_cast<const char*>(data), size)));
  if (!source) return 0;
  const int channels = source->Format().channels;
  if (channels <= 0 || channels > 64) return 0;
  std::vector<float> buffer(4096 * static_cast<std::size_t>(channels));
  for (int i = 0; i < 64 && source->Read(buffer.data(), 4096) > 0; ++i) {
  }
  const std::int64_t length = source->LengthFrames();
  for (const std::int64_t target : {length / 2, std::int64_t{0}, length, length + 1}) {
    if (source->Seek(target)) source->Read(buffer.data(), 4096);
  }
  return 0;
}
