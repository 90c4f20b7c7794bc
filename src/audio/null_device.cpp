#include "audio/null_device.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "audio/audio_error.h"
#include "audio/layer.h"

namespace kestrel::audio {

namespace {

constexpr int kFastChunkFrames = 1024;
// How long the fast clock waits for a stalled channel before it lets time pass anyway.
constexpr auto kStallPatience = std::chrono::milliseconds(200);

// For start-up measurements: with KESTREL_MARK_FIRST_AUDIO=PATH set, the first mix handed out
// that holds a non-silent sample writes the CLOCK_MONOTONIC time in nanoseconds, and a newline,
// to PATH; once per process, never again. Without the variable it does nothing.
void MarkFirstAudio(const float* samples, std::size_t count) {
  static const char* const path = std::getenv("KESTREL_MARK_FIRST_AUDIO");
  static std::atomic<bool> marked{false};
  if (path == nullptr || *path == '\0' || marked.load(std::memory_order_relaxed)) return;
  if (std::all_of(samples, samples + count, [](float sample) { return sample == 0.0f; })) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (marked.exchange(true)) return;
  char text[32];
  const std::int64_t nanoseconds =
      static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  char* end = std::to_chars(text, text + sizeof text - 1, nanoseconds).ptr;
  *end++ = '\n';
  const int file = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) return;
  [[maybe_unused]] const ssize_t written =
      ::write(file, text, static_cast<std::size_t>(end - text));
  ::close(file);
}

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
    MarkFirstAudio(buffer_.data(), static_cast<std::size_t>(frames) * kOutputChannels);
    Record(buffer_.data(), frames);
    WakeUpdateThread();
  }
}

}  // namespace kestrel::audio
