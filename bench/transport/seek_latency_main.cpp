// Seek latency: from the seek command to the first sample of the new position reaching the
// output device, on a 60-minute MP3 played in real time on the null device. The heard position
// the audio layer reports stays exactly on the seek target until the device has read audio
// from there, so the moment it moves past the target is the moment the new position is heard.
//
//   kestrel_seek_latency_bench [--cache DIR] [--seeks N]
//
// The MP3 is made once with the `ffmpeg` program in the cache folder (default: ./bench-cache).
// Build in Release without sanitizers. Exit status: 0 target met, 1 missed, 2 could not run.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/peer_process.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "storage/settings.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr double kFileSeconds = 3600;
constexpr double kTargetMs = 50;

// One hour of 44.1 kHz stereo MP3 at 192 kbit/s: a tone per side, so every position decodes to
// real audio.
bool MakeHourLongMp3(const fs::path& file) {
  if (fs::exists(file)) return true;
  std::cerr << "making " << file << " (once; about a minute)\n";
  const fs::path partial = file.string() + ".part.mp3";
  const std::vector<std::string> argv = {
      "ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
      "sine=frequency=440:sample_rate=44100:duration=3600", "-f", "lavfi", "-i",
      "sine=frequency=660:sample_rate=44100:duration=3600", "-filter_complex",
      "[0:a][1:a]amerge=inputs=2", "-c:a", "libmp3lame", "-b:a", "192k", partial.string()};
  if (!kestrel::bench::RunTimed(argv).ok) {
    std::cerr << "ffmpeg could not make " << file << "\n";
    return false;
  }
  std::error_code error;
  fs::rename(partial, file, error);
  return !error;
}

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

struct SeekFigures {
  double call_ms = 0;   // the seek call itself
  double heard_ms = 0;  // until the device has read audio from the new position
};

// Seeks the playing item to `seconds` and waits until the new position is heard. False when it
// is not heard within a second.
bool TimeOneSeek(double seconds, SeekFigures* figures) {
  const kestrel::audio::Handle output = kestrel::ThePlayerState().output_stream;
  const Clock::time_point start = Clock::now();
  kestrel::SeekTo(seconds);
  const Clock::time_point returned = Clock::now();
  const std::int64_t target = kestrel::audio::GetPosition(output);
  while (kestrel::audio::GetPosition(output) <= target) {
    if (Clock::now() - start > std::chrono::seconds(1)) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  const Clock::time_point heard = Clock::now();
  figures->call_ms = Milliseconds(returned - start);
  figures->heard_ms = Milliseconds(heard - start);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path cache = "bench-cache";
  int seeks = 40;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--cache") {
      cache = argv[i + 1];
    } else if (option == "--seeks") {
      seeks = std::max(1, std::atoi(argv[i + 1]));
    } else {
      std::cerr << "usage: kestrel_seek_latency_bench [--cache DIR] [--seeks N]\n";
      return 2;
    }
  }
  std::error_code error;
  fs::create_directories(cache, error);
  const fs::path file = cache / "tones-60min.mp3";
  if (!MakeHourLongMp3(file)) return 2;

  setenv("KESTREL_AUDIO", "null", 1);
  kestrel::audio::SetNullDeviceSpeed(1);  // real time, as a listener hears it
  const kestrel::Settings& settings = kestrel::TheSettings();
  kestrel::audio::SetConfig(kestrel::audio::Config::kBufferMs, settings.buffer_size);
  kestrel::audio::SetConfig(kestrel::audio::Config::kUpdatePeriodMs, settings.update_period);
  if (!kestrel::audio::InitOutput(1, 44100)) {
    std::cerr << "the null device could not start (error " << kestrel::audio::LastError() << ")\n";
    return 2;
  }
  if (!kestrel::OpenMedia(file.string())) {
    std::cerr << "could not open " << file << "\n";
    return 2;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));  // playing steadily

  std::vector<double> heard, calls;
  for (int i = 0; i < seeks; ++i) {
    // Spread over the whole hour, forward and back, never near the end.
    const double seconds = 30.0 + std::fmod(i * 1327.77, kFileSeconds - 120.0);
    SeekFigures figures;
    if (!TimeOneSeek(seconds, &figures)) {
      std::cerr << "the seek to " << seconds << " s was never heard\n";
      return 2;
    }
    heard.push_back(figures.heard_ms);
    calls.push_back(figures.call_ms);
    // Let it play a little from there, as a listener would before the next seek.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  kestrel::CloseMedia();
  kestrel::audio::FreeOutput();

  const double p95 = Percentile(heard, 0.95);
  std::printf("seek latency, 60-minute MP3 (192 kbit/s), null device in real time, %d seeks\n",
              seeks);
  std::printf("  seek to first sample heard: median %.1f ms, p95 %.1f ms, max %.1f ms\n",
              Percentile(heard, 0.5), p95, Percentile(heard, 1.0));
  std::printf("  the seek call itself:       median %.1f ms, p95 %.1f ms, max %.1f ms\n",
              Percentile(calls, 0.5), Percentile(calls, 0.95), Percentile(calls, 1.0));
  const bool met = p95 < kTargetMs;
  std::printf("  target: p95 under %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");
  return met ? 0 : 1;
}
