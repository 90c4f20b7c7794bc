// Starting and stopping output on a device, and what the layer tells about devices.
#include <cmath>
#include <mutex>

#include "audio/audio.h"
#include "audio/device_list.h"
#include "audio/layer.h"
#include "audio/null_device.h"
#include "audio/sdl_device.h"

namespace kestrel::audio {

namespace {

constexpr int kMinMixRate = 8000;
constexpr int kMaxMixRate = 384000;

// InitOutput and FreeOutput run one at a time.
std::mutex output_mutex;

std::unique_ptr<OutputDevice> MakeDevice(const DeviceEntry& entry, int mix_rate) {
  if (entry.kind == DeviceKind::kSdl) return CreateSdlDevice(entry, mix_rate);
  return std::make_unique<NullDevice>(mix_rate);
}

int DefaultDeviceIndex(const std::vector<DeviceEntry>& devices) {
  for (std::size_t i = 1; i < devices.size(); ++i) {
    if (devices[i].is_default && devices[i].enabled) return static_cast<int>(i);
  }
  return devices.size() > 1 ? 1 : -1;
}

}  // namespace

bool GetDeviceInfo(int device, DeviceInfo* info) {
  std::vector<DeviceEntry> devices;
  const bool listed = ListDevices(&devices);
  const int error = LastError();
  ReleaseSdlAudio();
  if (device < 0 || device >= static_cast<int>(devices.size())) {
    return Fail(listed || device == 0 ? kErrorDevice : error);
  }
  const DeviceEntry& entry = devices[static_cast<std::size_t>(device)];
  if (info) {
    info->name = entry.name;
    info->driver = entry.driver;
    info->enabled = entry.enabled;
    info->is_default = entry.is_default;
    Layer& layer = TheLayer();
    std::lock_guard lock(layer.mutex);
    info->initialized = layer.device && layer.device_index == device;
  }
  ClearError();
  return true;
}

bool InitOutput(int device, int mix_rate) {
  std::lock_guard serial(output_mutex);
  Layer& layer = TheLayer();
  {
    std::lock_guard lock(layer.mutex);
    if (layer.device) return Fail(kErrorAlready);
  }
  if (mix_rate < kMinMixRate || mix_rate > kMaxMixRate) return Fail(kErrorFreq);
  if (device < -1) return Fail(kErrorDevice);

  std::vector<DeviceEntry> devices;
  const bool listed = ListDevices(&devices);
  const int list_error = LastError();
  const int index = device == -1 ? DefaultDeviceIndex(devices) : device;
  if (index < 0 || index >= static_cast<int>(devices.size())) {
    ReleaseSdlAudio();
    return Fail(listed ? kErrorDevice : list_error);
  }
  const DeviceEntry& entry = devices[static_cast<std::size_t>(index)];
  if (!entry.enabled) {
    ReleaseSdlAudio();
    return Fail(kErrorDevice);
  }

  std::unique_ptr<OutputDevice> output = MakeDevice(entry, mix_rate);
  OutputDevice* started = output.get();
  {
    std::lock_guard lock(layer.mutex);
    layer.mix_rate = mix_rate;
    layer.device = std::move(output);
    layer.device_index = index;
  }
  StartUpdateThread();
  if (!started->Start()) {
    const int error = LastError();
    StopUpdateThread();
    {
      std::lock_guard lock(layer.mutex);
      layer.device.reset();
      layer.device_index = -1;
      layer.mix_rate = 0;
    }
    ReleaseSdlAudio();
    return Fail(error);
  }
  layer.latency_ms = started->LatencyMs();
  ClearError();
  return true;
}

bool FreeOutput() {
  std::lock_guard serial(output_mutex);
  Layer& layer = TheLayer();
  std::vector<Handle> handles;
  {
    std::lock_guard lock(layer.mutex);
    if (!layer.device) return Fail(kErrorInit);
    for (const auto& [handle, channel] : layer.channels) handles.push_back(handle);
  }
  for (Handle handle : handles) FreeStream(handle);  // a tempo stream may have freed its source

  std::unique_ptr<OutputDevice> device;
  {
    std::lock_guard lock(layer.mutex);
    device = std::move(layer.device);
    layer.device_index = -1;
  }
  device->Stop();
  StopUpdateThread();
  device.reset();  // closes a recording
  layer.mix_rate = 0;
  layer.latency_ms = 0;
  ReleaseSdlAudio();
  ClearError();
  return true;
}

int CurrentDevice() {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  return layer.device ? layer.device_index : -1;
}

double OutputLatencyMs() {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  if (!layer.device) return Fail(kErrorInit), 0.0;
  return layer.device->LatencyMs();
}

void SetNullDeviceSpeed(double speed) {
  if (!(speed >= 0)) speed = 0;  // negative or NaN: as fast as possible
  TheLayer().null_speed = speed;
  WakeUpdateThread();
}

bool SetNullDeviceRecording(const std::string& wav_path) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  if (!layer.device) return Fail(kErrorInit);
  if (!layer.device->SetRecording(wav_path)) {
    return LastError() == kOk ? Fail(kErrorNotAvailable) : false;
  }
  ClearError();
  return true;
}

}  // namespace kestrel::audio
