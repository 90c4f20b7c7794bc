#include "audio/null_device.h"

#include <chrono>

#include "audio/audio_error.h"
#include "audio/layer.h"

namespace kestrel::audio {

namespace {

constexpr int kFastChunkFrames = 1024;
// How long the fast clock waits for a stalled channel before it lets time pass anyway.
constexpr auto kStallPatience = std::chrono::milliseconds(200);

}  // namespace

NullDevice::NullDevice(int mix_rate) : mix_rate_(mix_rate) {}

NullDevice::~NullDevice() {
  Stop();
  std::lock_guard lock(recording_mutex_);
  recording_.Close();
}

bool NullDevice::Start() {
  buffer_.assign(static_cast<std::size_t>(std::max(kFastChunkFrames, mix_rate_ / 100)) *
                     kOutputChannels,
                 0.0f);
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void NullDevice::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

bool NullDevice::SetRecording(const std::string& wav_path) {
  std::lock_guard lock(recording_mutex_);
  const bool closed = recording_.Close();
  if (wav_path.empty()) return closed ? true : Fail(kErrorFileOpen);
  if (!recording_.Open(wav_path, mix_rate_, kOutputChannels)) return Fail(kErrorFileOpen);
  return true;
}

void NullDevice::Record(const float* samples, int frames) {
  std::lock_guard lock(recording_mutex_);
  if (recording_.is_open()) recording_.Write(samples, frames);
}

bool NullDevice::WaitUntilReady(int frames) {
  const auto give_up = std::chrono::steady_clock::now() + kStallPatience;
  for (;;) {
    if (stop_) return false;
    switch (CheckMixReadiness(frames)) {
      case MixReadiness::kNothingPlaying:
        WaitForUpdatePass(20);
        return false;
      case MixReadiness::kReady:
        return true;
      case MixReadiness::kWaitingForData:
        if (std::chrono::steady_clock::now() >= give_up) return true;
        WakeUpdateThread();
        WaitForUpdatePass(10);
        break;
    }
  }
}

void NullDevice::Run() {
  using Clock = std::chrono::steady_clock;
  const int real_time_chunk = std::max(mix_rate_ / 100, 1);  // 10 ms
  double paced_speed = -1;
  Clock::time_point pace_start;
  std::int64_t paced_frames = 0;
  while (!stop_) {
    const double speed = TheLayer().null_speed.load();
    int frames = real_time_chunk;
    if (speed <= 0) {
      paced_speed = speed;
      frames = kFastChunkFrames;
      if (!WaitUntilReady(frames)) continue;
    } else {
      if (speed != paced_speed) {
        paced_speed = speed;
        pace_start = Clock::now();
        paced_frames = 0;
      }
      const double due_seconds = static_cast<double>(paced_frames) / mix_rate_ / speed;
      std::this_thread::sleep_until(
          pace_start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(due_seconds)));
      paced_frames += frames;
    }
    MixOutput(buffer_.data(), frames);
    Record(buffer_.data(), frames);
    WakeUpdateThread();
  }
}

}  // namespace kestrel::audio
