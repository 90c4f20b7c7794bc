// Start-up: `kestrel FILE` from process start to the first non-silent sample its null device
// hands out, against mpv from process start to the first non-silent sample it hands to its audio
// output, on a 30-second FLAC and MP3. Kestrel runs on the null device in real time, offscreen,
// with speech captured to /dev/null; mpv with --no-config --no-terminal --no-video and its PCM
// output writing into a FIFO this program reads (mpv's null output offers no point to observe,
// the PCM output does the same work and shows the first sample handed to it). Every start gets
// fresh home and XDG folders. One untimed warm-up round, then the rounds interleaved, Kestrel
// and mpv taking turns to go first; medians are compared.
//
//   kestrel_startup_bench [--cache DIR] [--kestrel PATH] [--rounds N]
//
// The inputs are made once with the `ffmpeg` program in the cache folder (default: ./bench-cache);
// the kestrel program defaults to the one beside this program. Build in Release without
// sanitizers. Exit status: 0 target met, 1 missed, 2 a measurement could not run.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "audio/figures.h"
#include "audio/peer_process.h"
#include "startup/startup_inputs.h"
#include "startup/startup_runs.h"

namespace kestrel::bench {
namespace {

namespace fs = std::filesystem;

// Kestrel no slower than mpv.
constexpr double kTargetRatio = 1.0;

struct Options {
  fs::path cache = "bench-cache";
  fs::path kestrel;
  int rounds = 7;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 >= argc) return false;
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--cache") {
      options->cache = value;
    } else if (name == "--kestrel") {
      options->kestrel = value;
    } else if (name == "--rounds") {
      const auto result =
          std::from_chars(value.data(), value.data() + value.size(), options->rounds);
      if (result.ec != std::errc() || options->rounds < 1) return false;
    } else {
      return false;
    }
  }
  return true;
}

struct Series {
  std::vector<double> kestrel, mpv;
};

// One start of each program on the input, in the given order; false when one did not run.
bool RunPair(const fs::path& kestrel, const StartupInput& input, bool kestrel_first,
             Series* series) {
  bool ok = true;
  const auto kestrel_run = [&] {
    const StartupRun run = StartKestrel(kestrel, input.file);
    if (!run.ok) std::cerr << "  kestrel " << input.label << ": " << run.failure << "\n";
    if (run.ok && series) series->kestrel.push_back(run.first_audio_ms);
    ok = ok && run.ok;
  };
  const auto mpv_run = [&] {
    const StartupRun run = StartMpv(input.file);
    if (!run.ok) std::cerr << "  mpv " << input.label << ": " << run.failure << "\n";
    if (run.ok && series) series->mpv.push_back(run.first_audio_ms);
    ok = ok && run.ok;
  };
  if (kestrel_first) {
    kestrel_run();
    mpv_run();
  } else {
    mpv_run();
    kestrel_run();
  }
  return ok;
}

std::string Runs(const std::vector<double>& values) {
  std::string text;
  for (double value : values) {
    if (!text.empty()) text += ' ';
    text += Fixed(value, 1);
  }
  return text;
}

}  // namespace

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::cerr << "usage: kestrel_startup_bench [--cache DIR] [--kestrel PATH] [--rounds N]\n";
    return 2;
  }
  if (options.kestrel.empty()) {
    std::error_code error;
    options.kestrel = fs::read_symlink("/proc/self/exe", error).parent_path() / "kestrel";
  }
  if (!fs::exists(options.kestrel)) {
    std::cerr << "no kestrel program at " << options.kestrel << "\n";
    return 2;
  }
  for (const char* program : {"ffmpeg", "mpv"}) {
    if (!ProgramExists(program)) {
      std::cerr << program << " is missing\n";
      return 2;
    }
  }
  const std::vector<StartupInput> inputs = PrepareStartupInputs(options.cache);
  if (inputs.empty()) return 2;

  std::cerr << "warm-up round (untimed)\n";
  bool all_ran = true;
  for (const StartupInput& input : inputs) {
    all_ran = RunPair(options.kestrel, input, true, nullptr) && all_ran;
  }
  std::map<std::string, Series> series;
  for (int round = 0; round < options.rounds; ++round) {
    std::cerr << "round " << round + 1 << " of " << options.rounds << "\n";
    for (const StartupInput& input : inputs) {
      all_ran = RunPair(options.kestrel, input, round % 2 == 0, &series[input.label]) && all_ran;
    }
  }

  std::vector<FigureRow> rows;
  std::vector<std::vector<std::string>> runs = {{"input", "program", "first audio, ms, by round"}};
  for (const StartupInput& input : inputs) {
    const Series& values = series[input.label];
    FigureRow row;
    row.measure = "start-up to first audio, " + input.label + " 30 s";
    row.unit = "ms";
    row.kestrel = Median(values.kestrel);
    row.peer = Median(values.mpv);
    row.limit = kTargetRatio;
    row.measured = static_cast<int>(values.kestrel.size()) == options.rounds &&
                   static_cast<int>(values.mpv.size()) == options.rounds;
    rows.push_back(row);
    runs.push_back({input.label, "kestrel", Runs(values.kestrel)});
    runs.push_back({input.label, "mpv", Runs(values.mpv)});
  }
  std::cout << "Start-up: process start to first audio; medians of " << options.rounds
            << " interleaved rounds (peer: mpv --ao=pcm into a FIFO)\n\n"
            << FigureTable(rows) << "\n"
            << TextTable(runs);
  if (!all_ran) return 2;
  for (const FigureRow& row : rows) {
    if (row.kestrel / row.peer > row.limit) return 1;
  }
  return 0;
}

}  // namespace kestrel::bench

int main(int argc, char** argv) { return kestrel::bench::Main(argc, argv); }
