#include "audio/kestrel_runs.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/file_sources.h"
#include "audio/tempo_source.h"

namespace kestrel::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMixRate = 44100;
constexpr int kReadFrames = 1024;  // what the channel asks of its source per ring block

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec / 1e6;
}

// Times a piece of work in wall and process CPU time.
class Stopwatch {
 public:
  Stopwatch() : wall_(Clock::now()), cpu_(ProcessCpuSeconds()) {}
  void Finish(PathRun* run) const {
    run->wall_seconds = std::chrono::duration<double>(Clock::now() - wall_).count();
    run->cpu_seconds = ProcessCpuSeconds() - cpu_;
  }

 private:
  Clock::time_point wall_;
  double cpu_;
};

// A file stream through a tempo stream, ready to play; 0 on failure.
audio::Handle OpenTempoChannel(const std::string& file, float tempo_percent) {
  const audio::Handle decoder = audio::CreateFileStream(file, audio::kStreamDecode);
  if (decoder == 0) return 0;
  const audio::Handle tempo = audio::CreateTempoStream(decoder, audio::kStreamFreeSource);
  if (tempo == 0) {
    audio::FreeStream(decoder);
    return 0;
  }
  if (!audio::SetAttribute(tempo, audio::Attribute::kTempo, tempo_percent)) {
    audio::FreeStream(tempo);
    return 0;
  }
  return tempo;
}

// Reads a source to its end in the channel's block size; frames read, -1 on a failure.
std::int64_t Drain(audio::Source& source) {
  std::vector<float> buffer(static_cast<std::size_t>(kReadFrames) * source.Format().channels);
  std::int64_t total = 0;
  for (;;) {
    const std::int64_t got = source.Read(buffer.data(), kReadFrames);
    if (got < 0) return -1;
    if (got == 0) return total;
    total += got;
  }
}

}  // namespace

bool StartFastNullOutput() {
  audio::SetNullDeviceSpeed(0);
  return audio::InitOutput(1, kMixRate);
}

void StopOutput() { audio::FreeOutput(); }

PathRun PlayThroughLayer(const std::string& file, float tempo_percent) {
  PathRun run;
  const auto open_start = Clock::now();
  const audio::Handle channel = OpenTempoChannel(file, tempo_percent);
  if (channel == 0) return run;
  run.open_seconds = std::chrono::duration<double>(Clock::now() - open_start).count();

  std::mutex mutex;
  std::condition_variable ended_signal;
  bool ended = false;
  audio::SetSync(channel, audio::SyncType::kEnd, true, [&](audio::Handle, audio::Handle) {
    std::lock_guard lock(mutex);
    ended = true;
    ended_signal.notify_all();
  });

  const Stopwatch stopwatch;
  if (audio::Play(channel, false)) {
    std::unique_lock lock(mutex);
    ended_signal.wait_for(lock, std::chrono::minutes(5), [&] { return ended; });
    stopwatch.Finish(&run);
    lock.unlock();
    // All of it was heard: the position stands at the end of the source.
    const double heard = audio::BytesToSeconds(channel, audio::GetPosition(channel));
    const double length = audio::BytesToSeconds(channel, audio::GetLength(channel));
    run.ok = ended && length > 0 && std::abs(heard - length) < 0.5;
  }
  audio::FreeStream(channel);
  return run;
}

PathRun DecodeOnly(const std::string& file) {
  PathRun run;
  const Stopwatch stopwatch;
  std::unique_ptr<audio::Source> source = audio::OpenFileSource(file);
  if (!source) return run;
  const std::int64_t frames = Drain(*source);
  stopwatch.Finish(&run);
  run.ok = frames > 0 && frames == source->LengthFrames();
  return run;
}

PathRun DecodeAndStretch(const std::string& file, float tempo_percent) {
  PathRun run;
  const Stopwatch stopwatch;
  std::shared_ptr<audio::Source> decoder = audio::OpenFileSource(file);
  if (!decoder) return run;
  const std::int64_t input_frames = decoder->LengthFrames();
  std::unique_ptr<audio::Source> tempo = audio::CreateTempoSource(decoder);
  if (!tempo || !tempo->SetAttribute(audio::Attribute::kTempo, tempo_percent)) return run;
  const std::int64_t frames = Drain(*tempo);
  stopwatch.Finish(&run);
  // The output is the input's length at the new tempo, give or take the stretcher's edges.
  const double expected = static_cast<double>(input_frames) / (1.0 + tempo_percent / 100.0);
  run.ok = frames > 0 && std::abs(static_cast<double>(frames) - expected) < 0.01 * expected;
  return run;
}

int PlayInRealTime(const std::string& file) {
  audio::SetNullDeviceSpeed(1);
  if (!audio::InitOutput(1, kMixRate)) return 2;
  const audio::Handle channel = OpenTempoChannel(file, 0);
  if (channel == 0 || !audio::Play(channel, false)) return 3;
  while (audio::IsActive(channel) == audio::ActiveState::kPlaying) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  audio::FreeOutput();
  return 0;
}

}  // namespace kestrel::bench
