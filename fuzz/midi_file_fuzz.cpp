// MIDI files (plain and RIFF-wrapped) through the FluidSynth source, without a SoundFont.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/file_sources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/kestrel_midi_fuzz_" + std::to_string(getpid()) + ".mid";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  auto source = kestrel::audio::OpenMidiSource(path, "", 16, false);
  if (source) {
    std::vector<float> buffer(2 * 4096);
    source->Read(buffer.data(), 4096);
    source->Seek(source->LengthFrames() / 2);
    source->Read(buffer.data(), 4096);
  }
  return 0;
}
