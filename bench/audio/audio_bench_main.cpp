// The audio layer's benchmarks, each timed against its peer program in the same run, Kestrel and
// the peer interleaved round by round so the machine's load falls on both alike:
//   decode path   file → tempo stream at tempo 0 → null device (fast clock), Play to end sync,
//                 against `ffmpeg -threads 1 -i FILE -f null -`
//   tempo path    the same at tempo +50%, against ffmpeg's decode plus `soundstretch` on the
//                 decoded WAV, and against mpv with scaletempo2 at speed 1.5, untimed
//   memory        resident memory while playing in real time, against `mpv --ao=null`
// The decode path is also timed as a whole Kestrel process (start, open, play, exit), the way
// the peers are timed.
// Prints medians; exit status 0 when every target is met, 1 when one is missed, 2 when a
// measurement could not run.
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "audio/bench_inputs.h"
#include "audio/figures.h"
#include "audio/kestrel_runs.h"
#include "audio/peer_process.h"

namespace kestrel::bench {
namespace {

struct Options {
  std::filesystem::path cache = "bench-cache";
  int rounds = 3;
  double memory_seconds = 8;
  std::string real_time_file;  // child mode: play in real time until killed
  std::string fast_file;       // child mode: play at tempo 0 as fast as it goes, then exit
};

// Wall and CPU seconds of each round, by series name.
struct Samples {
  std::map<std::string, std::vector<double>> wall, cpu;
  bool all_ran = true;

  void Add(const std::string& series, bool ok, double wall_seconds, double cpu_seconds) {
    if (!ok) {
      all_ran = false;
      std::cerr << "  " << series << " did not run to its end\n";
      return;
    }
    wall[series].push_back(wall_seconds);
    cpu[series].push_back(cpu_seconds);
  }
  double WallMedian(const std::string& series) const { return MedianOf(wall, series); }
  double CpuMedian(const std::string& series) const { return MedianOf(cpu, series); }
  static double MedianOf(const std::map<std::string, std::vector<double>>& values,
                         const std::string& series) {
    const auto found = values.find(series);
    return found == values.end() ? 0 : Median(found->second);
  }
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (name == "--cache") {
      options->cache = value;
    } else if (name == "--rounds") {
      const auto result =
          std::from_chars(value.data(), value.data() + value.size(), options->rounds);
      if (result.ec != std::errc() || options->rounds < 1) return false;
    } else if (name == "--memory-seconds") {
      const auto result =
          std::from_chars(value.data(), value.data() + value.size(), options->memory_seconds);
      if (result.ec != std::errc() || options->memory_seconds <= 0) return false;
    } else if (name == "--play-in-real-time") {
      options->real_time_file = value;
    } else if (name == "--play-fast") {
      options->fast_file = value;
    } else {
      return false;
    }
  }
  return true;
}

std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

std::string SelfExecutable() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

std::vector<std::string> FfmpegDecode(const BenchInput& input) {
  return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
          "-threads", "1", "-i", input.file.string(), "-f", "null", "-"};
}

std::vector<std::string> Soundstretch(const BenchInput& input, const std::filesystem::path& out) {
  return {"soundstretch", input.decoded_wav.string(), out.string(), "-tempo=50"};
}

std::vector<std::string> MpvScaletempo(const BenchInput& input) {
  return {"mpv", "--no-config", "--no-terminal", "--no-video", "--ao=null",
          "--ao-null-untimed", "--untimed", "--af=scaletempo2", "--speed=1.5",
          input.file.string()};
}

std::vector<std::string> MpvPlay(const std::string& file) {
  return {"mpv", "--no-config", "--no-terminal", "--no-video", "--ao=null", file};
}

// One round of the time measurements on one input; `kestrel_first` alternates the order.
void TimeRound(const BenchInput& input, const std::filesystem::path& cache, bool kestrel_first,
               Samples* samples) {
  const std::string& label = input.label;
  auto kestrel_decode = [&] {
    const PathRun run = PlayThroughLayer(input.file.string(), 0);
    samples->Add("kestrel decode " + label, run.ok, run.wall_seconds, run.cpu_seconds);
    samples->Add("kestrel open (not in decode) " + label, run.ok, run.open_seconds, 0);
  };
  auto peer_decode = [&] {
    const TimedRun run = RunTimed(FfmpegDecode(input));
    samples->Add("ffmpeg decode " + label, run.ok, run.wall_seconds, run.cpu_seconds);
  };
  // The same as a whole process timed like the peers: start, open, play, exit.
  auto kestrel_process = [&] {
    const TimedRun run = RunTimed({SelfExecutable(), "--play-fast", input.file.string()});
    samples->Add("kestrel decode, whole process " + label, run.ok, run.wall_seconds,
                 run.cpu_seconds);
  };
  auto kestrel_tempo = [&] {
    const PathRun run = PlayThroughLayer(input.file.string(), 50);
    samples->Add("kestrel tempo " + label, run.ok, run.wall_seconds, run.cpu_seconds);
  };
  auto peer_tempo = [&] {
    const std::filesystem::path out = cache / "soundstretch-out.wav";
    const TimedRun stretch = RunTimed(Soundstretch(input, out));
    std::error_code error;
    std::filesystem::remove(out, error);
    samples->Add("soundstretch " + label, stretch.ok, stretch.wall_seconds, stretch.cpu_seconds);
    const TimedRun mpv = RunTimed(MpvScaletempo(input));
    samples->Add("mpv scaletempo2 " + label, mpv.ok, mpv.wall_seconds, mpv.cpu_seconds);
  };
  auto breakdown = [&] {
    const PathRun decode = DecodeOnly(input.file.string());
    samples->Add("source only " + label, decode.ok, decode.wall_seconds, decode.cpu_seconds);
    const PathRun stretch = DecodeAndStretch(input.file.string(), 50);
    samples->Add("source+stretcher " + label, stretch.ok, stretch.wall_seconds,
                 stretch.cpu_seconds);
  };
  if (kestrel_first) {
    kestrel_decode(), kestrel_process(), peer_decode(), kestrel_tempo(), peer_tempo(), breakdown();
  } else {
    peer_decode(), kestrel_process(), kestrel_decode(), peer_tempo(), kestrel_tempo(), breakdown();
  }
}

// The composite peer of the tempo path: ffmpeg's decode and soundstretch of the same round.
double DecodePlusStretchMedian(const std::map<std::string, std::vector<double>>& values,
                               const std::string& label) {
  const auto decode = values.find("ffmpeg decode " + label);
  const auto stretch = values.find("soundstretch " + label);
  if (decode == values.end() || stretch == values.end()) return 0;
  std::vector<double> sums;
  for (std::size_t i = 0; i < decode->second.size() && i < stretch->second.size(); ++i) {
    sums.push_back(decode->second[i] + stretch->second[i]);
  }
  return Median(sums);
}

int Run(const Options& options) {
  BenchInput flac, mp3;
  if (!PrepareInputs(options.cache, &flac, &mp3)) return 2;
  for (const char* program : {"ffmpeg", "soundstretch", "mpv"}) {
    if (!ProgramExists(program)) {
      std::cerr << program << " is not installed (scripts/install-deps installs it)\n";
      return 2;
    }
  }
  std::cout << "inputs: " << flac.file.string() << ", " << mp3.file.string() << " ("
            << Fixed(kInputSeconds / 60, 0) << " min, 44.1 kHz stereo)\n";
  std::cout << "load average before: " << LoadAverage()
            << "; cores: " << sysconf(_SC_NPROCESSORS_ONLN) << "; rounds: " << options.rounds
            << "\n";

  Samples samples;
  if (!StartFastNullOutput()) {
    std::cerr << "the null device did not start\n";
    return 2;
  }
  for (int round = 0; round < options.rounds; ++round) {
    std::cerr << "round " << round + 1 << " of " << options.rounds << "\n";
    for (const BenchInput* input : {&flac, &mp3}) {
      TimeRound(*input, options.cache, round % 2 == 0, &samples);
    }
  }
  StopOutput();

  // Memory: both players in real time, each sampled the same way from outside.
  std::map<std::string, std::vector<double>> hwm, rss;
  const std::vector<std::string> kestrel_player = {SelfExecutable(), "--play-in-real-time",
                                                   flac.file.string()};
  for (int round = 0; round < options.rounds; ++round) {
    std::cerr << "memory round " << round + 1 << " of " << options.rounds << "\n";
    for (int turn = 0; turn < 2; ++turn) {
      const bool kestrel_turn = (turn == 0) == (round % 2 == 0);
      const std::string name = kestrel_turn ? "kestrel" : "mpv";
      const MemoryFigures figures = SampleMemory(
          kestrel_turn ? kestrel_player : MpvPlay(flac.file.string()), options.memory_seconds);
      if (!figures.ok) {
        std::cerr << "  " << name << " memory sample failed\n";
        samples.all_ran = false;
        continue;
      }
      hwm[name].push_back(figures.hwm_mib);
      rss[name].push_back(figures.peak_rss_mib);
    }
  }
  std::cout << "load average after: " << LoadAverage() << "\n\n";

  std::vector<FigureRow> rows;
  auto time_row = [&](const std::string& measure, const std::string& kestrel, double peer_seconds,
                      double peer_cpu_seconds, double limit) {
    FigureRow row{measure, "s", samples.WallMedian(kestrel), peer_seconds, limit};
    row.measured = row.kestrel > 0 && peer_seconds > 0;
    if (peer_cpu_seconds > 0) row.cpu_ratio = samples.CpuMedian(kestrel) / peer_cpu_seconds;
    rows.push_back(row);
  };
  for (const BenchInput* input : {&flac, &mp3}) {
    const std::string& label = input->label;
    time_row("decode " + label + " vs ffmpeg -threads 1", "kestrel decode " + label,
             samples.WallMedian("ffmpeg decode " + label),
             samples.CpuMedian("ffmpeg decode " + label), 1.15);
  }
  for (const BenchInput* input : {&flac, &mp3}) {
    const std::string& label = input->label;
    time_row("decode " + label + " as a whole process vs ffmpeg",
             "kestrel decode, whole process " + label, samples.WallMedian("ffmpeg decode " + label),
             samples.CpuMedian("ffmpeg decode " + label), 1.15);
  }
  for (const BenchInput* input : {&flac, &mp3}) {
    const std::string& label = input->label;
    time_row("tempo +50% " + label + " vs ffmpeg decode + soundstretch", "kestrel tempo " + label,
             DecodePlusStretchMedian(samples.wall, label),
             DecodePlusStretchMedian(samples.cpu, label), 1.0);
    time_row("tempo +50% " + label + " vs mpv scaletempo2 untimed", "kestrel tempo " + label,
             samples.WallMedian("mpv scaletempo2 " + label),
             samples.CpuMedian("mpv scaletempo2 " + label), 0.5);
  }
  FigureRow memory{"memory VmHWM playing FLAC vs mpv (real time)", "MiB", Median(hwm["kestrel"]),
                   Median(hwm["mpv"]), 1.0};
  memory.measured = !hwm["kestrel"].empty() && !hwm["mpv"].empty();
  rows.push_back(memory);
  std::cout << "Medians of " << options.rounds
            << " rounds (time: wall, Play to end sync for Kestrel, process start to exit for "
               "the peers; memory: VmHWM after "
            << Fixed(options.memory_seconds, 0) << " s of real-time playback):\n"
            << FigureTable(rows) << "\n";

  // Every series in wall and CPU time, for the breakdown and for a loaded machine.
  std::vector<std::vector<std::string>> detail = {
      {"series", "wall median s", "cpu median s", "wall samples s"}};
  for (const auto& [series, values] : samples.wall) {
    std::string all;
    for (double value : values) {
      if (!all.empty()) all += ' ';
      all += Fixed(value, 3);
    }
    detail.push_back(
        {series, Fixed(samples.WallMedian(series), 3), Fixed(samples.CpuMedian(series), 3), all});
  }
  std::cout << "Every series (Kestrel's CPU time is the whole process: decoder, update thread, "
               "null device):\n"
            << TextTable(detail) << "\n";
  std::vector<std::vector<std::string>> memory_detail = {
      {"player", "VmHWM median MiB", "peak VmRSS median MiB"}};
  for (const std::string name : {"kestrel", "mpv"}) {
    memory_detail.push_back({name, Fixed(Median(hwm[name]), 1), Fixed(Median(rss[name]), 1)});
  }
  std::cout << TextTable(memory_detail) << "\n";
  std::cout << "The device callback never allocates or waits for a lock: "
               "tests/audio/mix_callback_test.cpp (kestrel_audio_callback_tests).\n";
  std::cout.flush();

  if (!samples.all_ran) return 2;
  for (const FigureRow& row : rows) {
    if (!row.measured) return 2;
    if (row.kestrel / row.peer > row.limit) return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kestrel::bench

int main(int argc, char** argv) {
  kestrel::bench::Options options;
  if (!kestrel::bench::ParseOptions(argc, argv, &options)) {
    std::cerr << "usage: kestrel_audio_bench [--cache DIR] [--rounds N] [--memory-seconds S]\n";
    return 2;
  }
  setenv("KESTREL_AUDIO", "null", 1);  // the layer and the memory child use the null devices
  if (!options.real_time_file.empty()) {
    return kestrel::bench::PlayInRealTime(options.real_time_file);
  }
  if (!options.fast_file.empty()) {
    if (!kestrel::bench::StartFastNullOutput()) return 2;
    const bool ok = kestrel::bench::PlayThroughLayer(options.fast_file, 0).ok;
    kestrel::bench::StopOutput();
    return ok ? 0 : 3;
  }
  return kestrel::bench::Run(options);
}
