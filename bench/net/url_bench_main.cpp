// Internet radio start-up: from opening a station to its first audio, Kestrel's audio layer
// against mpv, on the same local ICY station in the same run.
//
// Kestrel: OpenUrl (what Open URL runs), output already started on the null device at
// real-time speed, to the first non-silent mix the device hands out (the null
// device's KESTREL_MARK_FIRST_AUDIO mark). Each run is a fresh child process (the mark is once
// per process), timed inside the child from just before OpenUrl.
// mpv: `mpv --no-config --no-video --ao=null -v URL`, from spawning it to reading its verbose
// line "starting audio playback" (its audio output starts playing), whole process included.
//
//   kestrel_url_bench --cache DIR [--rounds N]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/bench_inputs.h"
#include "audio/figures.h"
#include "audio/peer_process.h"
#include "engine/open_media.h"
#include "net/icy_station.h"


namespace kestrel::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kBitrateKbps = 128;
constexpr std::size_t kBurstBytes = 64 * 1024;  // Icecast's usual burst-on-connect
constexpr auto kPatience = std::chrono::seconds(15);
constexpr const char* kMpvMarker = "starting audio playback";

std::int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool ReadNumber(const fs::path& file, std::int64_t* value) {
  std::ifstream in(file);
  std::string line;
  if (!std::getline(in, line) || in.eof()) return false;  // not finished yet
  return std::from_chars(line.data(), line.data() + line.size(), *value).ec == std::errc();
}

void WriteNumber(const fs::path& file, std::int64_t value) {
  std::ofstream(file) << value << '\n';
}

// The child side of a Kestrel run.
int KestrelRun(const std::string& url, const fs::path& start_file) {
  if (!audio::InitOutput(1, 44100)) return 3;
  const std::int64_t start = MonotonicNs();
  // The player's own opener, as Open URL calls it: the connection attempts on a thread of their
  // own, the stream under the tempo processor, the effect chain, the syncs, then play.
  if (!OpenUrl(url, true)) return 4;
  WriteNumber(start_file, start);
  const char* mark = std::getenv("KESTREL_MARK_FIRST_AUDIO");
  std::int64_t ignored = 0;
  const auto give_up = std::chrono::steady_clock::now() + kPatience;
  while (!ReadNumber(mark, &ignored) && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  CloseMedia();
  audio::FreeOutput();
  return 0;
}

// Milliseconds to Kestrel's first audio, or a negative value when the run failed.
double TimeKestrel(const std::string& self, const std::string& url) {
  char pattern[] = "/tmp/kestrel-url-bench-XXXXXX";
  if (!mkdtemp(pattern)) return -1;
  const fs::path folder = pattern;
  const fs::path mark = folder / "first-audio";
  const fs::path start = folder / "start";
  const pid_t child = SpawnProgram({self, "--kestrel-run", url, start.string()},
                            {"KESTREL_AUDIO=null", "KESTREL_MARK_FIRST_AUDIO=" + mark.string()}, -1);
  const int status = child > 0 ? WaitForExit(child) : -1;
  std::int64_t start_ns = 0, mark_ns = 0;
  const bool ok = status == 0 && ReadNumber(start, &start_ns) && ReadNumber(mark, &mark_ns);
  if (status != 0) std::cerr << "kestrel run failed with status " << status << '\n';
  fs::remove_all(folder);
  return ok ? static_cast<double>(mark_ns - start_ns) / 1e6 : -1;
}

// Milliseconds to mpv's first audio, or a negative value when the run failed.
double TimeMpv(const std::string& url) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return -1;
  const std::int64_t start = MonotonicNs();
  const pid_t child = SpawnProgram({"mpv", "--no-config", "--no-video", "--ao=null", "-v", url}, {}, pipe_fds[1]);
  close(pipe_fds[1]);
  if (child <= 0) {
    close(pipe_fds[0]);
    return -1;
  }
  std::string output;
  double result = -1;
  char buffer[4096];
  while (MonotonicNs() - start < std::chrono::nanoseconds(kPatience).count()) {
    pollfd wait{pipe_fds[0], POLLIN, 0};
    if (poll(&wait, 1, 5) <= 0) continue;
    const ssize_t count = read(pipe_fds[0], buffer, sizeof buffer);
    const std::int64_t now = MonotonicNs();
    if (count <= 0) break;  // mpv ended
    output.append(buffer, static_cast<std::size_t>(count));
    if (output.find(kMpvMarker) != std::string::npos) {
      result = static_cast<double>(now - start) / 1e6;
      break;
    }
  }
  kill(child, SIGTERM);
  close(pipe_fds[0]);
  WaitForExit(child);
  if (result < 0) std::cerr << "mpv gave no \"" << kMpvMarker << "\" line\n";
  return result;
}

int Main(int argc, char** argv) {
  fs::path cache = "url-bench-cache";
  int rounds = 9;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--cache") cache = argv[i + 1];
    if (option == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
  }
  fs::create_directories(cache);
  const fs::path mp3 = cache / "station-128k.mp3";
  if (!fs::exists(mp3)) {
    std::vector<std::string> arguments = ToneSignalInput(120);
    arguments.insert(arguments.end(), {"-c:a", "libmp3lame", "-b:a", "128k"});
    if (!RunFfmpegTo(arguments, mp3)) return 2;
  }
  std::ifstream in(mp3, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  IcyStation station(bytes, kBitrateKbps, kBurstBytes);
  if (!station.ok()) {
    std::cerr << "the station did not start\n";
    return 2;
  }
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::vector<double> kestrel, mpv;
  std::vector<std::vector<std::string>> table = {{"round", "Kestrel ms", "mpv ms"}};
  for (int round = 1; round <= rounds; ++round) {
    const double ours = TimeKestrel(self, station.url());
    const double theirs = TimeMpv(station.url());
    if (ours >= 0) kestrel.push_back(ours);
    if (theirs >= 0) mpv.push_back(theirs);
    table.push_back({std::to_string(round), ours >= 0 ? Fixed(ours, 1) : "failed",
                     theirs >= 0 ? Fixed(theirs, 1) : "failed"});
  }
  std::cout << "Local ICY station, MP3 128 kbit/s, 64 KiB burst then real time: " << station.url()
            << "\n\n"
            << TextTable(table) << '\n';
  if (kestrel.empty() || mpv.empty()) return 2;
  const double ours = Median(kestrel), theirs = Median(mpv);
  std::cout << "median to first audio: Kestrel " << Fixed(ours, 1) << " ms, mpv " << Fixed(theirs, 1)
            << " ms (ratio " << Fixed(ours / theirs, 2) << ")\n";
  return ours <= theirs ? 0 : 1;
}

}  // namespace
}  // namespace kestrel::bench

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--kestrel-run") == 0) {
    return kestrel::bench::KestrelRun(argv[2], argv[3]);
  }
  return kestrel::bench::Main(argc, argv);
}
