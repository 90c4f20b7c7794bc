#pragma once

#include <memory>
#include <string>

// An audio output backend. It calls MixOutput (layer.h) from its own thread whenever it needs
// more sound: stereo interleaved float at the mix rate.
namespace kestrel::audio {

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // Starts calling the mixer. False with the last error set.
  virtual bool Start() = 0;
  // Stops; when it returns, no mix call is running or will run.
  virtual void Stop() = 0;
  virtual double LatencyMs() const = 0;
  // Only the null devices record; the others refuse.
  virtual bool SetRecording(const std::string& /*wav_path*/) { return false; }
};

}  // namespace kestrel::audio
