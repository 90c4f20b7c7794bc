#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/output_device.h"
#include "audio/wav_writer.h"

// The null devices (KESTREL_AUDIO=null) and the no-sound device 0: no sound card, a virtual
// clock instead. At speed 1 it mixes in real time; at speed 0 it mixes as fast as the update
// thread supplies data, and only while something plays. It can record the mix to a WAV file.
namespace kestrel::audio {

class NullDevice : public OutputDevice {
 public:
  explicit NullDevice(int mix_rate);
  ~NullDevice() override;

  bool Start() override;
  void Stop() override;
  double LatencyMs() const override { return 0; }
  bool SetRecording(const std::string& wav_path) override;

 private:
  void Run();
  // Speed 0: waits until the playing channels have `frames` buffered. False when nothing plays.
  bool WaitUntilReady(int frames);
  void Record(const float* samples, int frames);

  const int mix_rate_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::vector<float> buffer_;
  std::mutex recording_mutex_;
  WavWriter recording_;
};

}  // namespace kestrel::audio
