#include "audio/sdl_device.h"

#include <SDL.h>

#include <mutex>

#include "audio/audio_error.h"
#include "audio/channel.h"
#include "audio/layer.h"

namespace kestrel::audio {

namespace {

constexpr Uint16 kDeviceBufferFrames = 1024;

std::mutex sdl_mutex;
bool sdl_audio_up = false;
int open_devices = 0;

bool EnsureSdlAudioLocked() {
  if (sdl_audio_up) return true;
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Kestrel");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(kErrorDriver);
  sdl_audio_up = true;
  return true;
}

class SdlDevice : public OutputDevice {
 public:
  SdlDevice(std::string backend_name, int mix_rate)
      : backend_name_(std::move(backend_name)), mix_rate_(mix_rate) {}
  ~SdlDevice() override { Stop(); }

  bool Start() override {
    std::lock_guard lock(sdl_mutex);
    if (!EnsureSdlAudioLocked()) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = mix_rate_;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = kDeviceBufferFrames;
    wanted.callback = &SdlDevice::Callback;
    wanted.userdata = nullptr;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts our float stereo to whatever the hardware wants.
    device_ = SDL_OpenAudioDevice(backend_name_.empty() ? nullptr : backend_name_.c_str(), 0,
                                  &wanted, &obtained, 0);
    if (device_ == 0) return Fail(kErrorInit);
    ++open_devices;
    latency_ms_ = obtained.freq > 0 ? 1000.0 * obtained.samples / obtained.freq : 0.0;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void Stop() override {
    if (device_ == 0) return;
    std::lock_guard lock(sdl_mutex);
    SDL_CloseAudioDevice(device_);  // returns once the callback has finished
    device_ = 0;
    --open_devices;
  }

  double LatencyMs() const override { return latency_ms_; }

 private:
  static void Callback(void*, Uint8* stream, int length) {
    MixOutput(reinterpret_cast<float*>(stream),
              length / static_cast<int>(sizeof(float) * kOutputChannels));
  }

  std::string backend_name_;
  int mix_rate_;
  SDL_AudioDeviceID device_ = 0;
  double latency_ms_ = 0;
};

}  // namespace

bool AppendSdlDevices(std::vector<DeviceEntry>* devices) {
  std::lock_guard lock(sdl_mutex);
  if (!EnsureSdlAudioLocked()) return false;
  DeviceEntry system_default;
  system_default.name = "Default";
  system_default.driver = "sdl";
  system_default.is_default = true;
  system_default.kind = DeviceKind::kSdl;
  devices->push_back(system_default);
  const int count = SDL_GetNumAudioDevices(0);
  for (int i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    if (!name) continue;
    DeviceEntry entry;
    entry.name = name;
    entry.driver = "sdl";
    entry.kind = DeviceKind::kSdl;
    entry.backend_name = name;
    devices->push_back(entry);
  }
  return true;
}

std::unique_ptr<OutputDevice> CreateSdlDevice(const DeviceEntry& entry, int mix_rate) {
  return std::make_unique<SdlDevice>(entry.backend_name, mix_rate);
}

void ReleaseSdlAudio() {
  std::lock_guard lock(sdl_mutex);
  if (!sdl_audio_up || open_devices > 0) return;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  sdl_audio_up = false;
}

}  // namespace kestrel::audio
