// Channels over the layer's own sources: files (FFmpeg), MIDI (FluidSynth) and the tempo stream
// (SoundTouch) over a decoding channel.
#include <fluidsynth.h>

#include <filesystem>

#include "audio/audio.h"
#include "audio/decoded_reads.h"
#include "audio/file_sources.h"
#include "audio/layer.h"
#include "audio/tempo_source.h"

namespace kestrel::audio {

namespace {

// A source that failed without saying why is reported as a file that cannot be opened.
Handle FailedOpen() {
  if (LastError() == kOk) Fail(kErrorFileOpen);
  return 0;
}

}  // namespace

Handle CreateFileStream(const std::string& path, std::uint32_t flags) {
  ClearError();
  std::unique_ptr<Source> source = OpenFileSource(path);
  if (!source) return FailedOpen();
  ChannelSetup setup;
  setup.file_name = path;
  return RegisterChannel(std::move(source), flags, setup);
}

Handle CreateMidiStream(const std::string& path, std::uint32_t flags) {
  Layer& layer = TheLayer();
  std::string soundfont;
  {
    std::lock_guard lock(layer.mutex);
    soundfont = layer.midi_soundfont;
  }
  ClearError();
  std::unique_ptr<Source> source = OpenMidiSource(path, soundfont, layer.midi_voices.load(),
                                                  (flags & kMidiSincInterpolation) != 0);
  if (!source) return FailedOpen();
  ChannelSetup setup;
  setup.file_name = path;
  setup.codec = "MIDI";
  return RegisterChannel(std::move(source), flags, setup);
}

Handle CreateTempoStream(Handle source_handle, std::uint32_t flags) {
  auto source_channel = FindChannel(source_handle);
  if (!source_channel) return 0;
  if (!source_channel->decoding()) return Fail(kErrorDecode), 0;
  ClearError();
  std::shared_ptr<Source> input = MakeDecodingChannelReader(source_channel);
  std::unique_ptr<Source> tempo = CreateTempoSource(std::move(input));
  if (!tempo) {
    if (LastError() == kOk) Fail(kErrorCreate);
    return 0;
  }
  ChannelSetup setup;
  setup.file_name = source_channel->file_name;
  setup.codec = source_channel->codec;
  if (flags & kStreamFreeSource) setup.source_channel_to_free = source_handle;
  return RegisterChannel(std::move(tempo), flags, setup);
}

bool SetMidiSoundFont(const std::string& path) {
  Layer& layer = TheLayer();
  if (!path.empty()) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return Fail(kErrorFileOpen);
    if (!fluid_is_soundfont(path.c_str())) return Fail(kErrorFileForm);
  }
  std::lock_guard lock(layer.mutex);
  layer.midi_soundfont = path;
  ClearError();
  return true;
}

}  // namespace kestrel::audio
