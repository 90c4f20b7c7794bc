// Playlist benchmarks: Add Folder over a generated tree of 20,000 files in 400 folders against
// `find TREE -type f` on the same tree in the same run, and reading an M3U of 100,000 lines
// against its fixed limit of 150 ms. Warm cache: each measure is the median of several rounds
// after one unmeasured round.
//
//   kestrel_playlist_bench [--work FOLDER] [--rounds N]
//
// Exit status: 0 every target met, 1 one missed, 2 a measurement could not run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "audio/figures.h"
#include "audio/peer_process.h"
#include "playlist/folder_scan.h"
#include "playlist/playlist_file.h"

namespace {

namespace fs = std::filesystem;
using kestrel::bench::Fixed;
using kestrel::bench::Median;

constexpr int kTopFolders = 20;
constexpr int kSubFolders = 20;     // 20 x 20 = 400 folders holding files
constexpr int kFilesPerFolder = 50;  // 400 x 50 = 20,000 files
// Two files of every 25 are not audio (a cover, notes): 46 audio files per folder.
constexpr std::size_t kAudioFiles = 400u * 46u;
constexpr int kM3uLines = 100000;
constexpr double kFolderRatioLimit = 1.5;
constexpr double kM3uLimitSeconds = 0.150;

bool MakeTree(const fs::path& tree) {
  if (fs::exists(tree / "done")) return true;
  fs::remove_all(tree);
  for (int top = 0; top < kTopFolders; ++top) {
    for (int sub = 0; sub < kSubFolders; ++sub) {
      const fs::path folder =
          tree / ("Artist " + std::to_string(top)) / ("Album " + std::to_string(sub));
      fs::create_directories(folder);
      for (int file = 0; file < kFilesPerFolder; ++file) {
        // Mostly audio, with the covers and notes a real music folder holds.
        const char* extension = file % 25 == 0 ? ".jpg" : file % 25 == 1 ? ".txt" : ".mp3";
        std::ofstream(folder / ("Track " + std::to_string(file) + extension));
      }
    }
  }
  std::ofstream(tree / "done");
  return fs::exists(tree / "done");
}

bool MakeM3u(const fs::path& list) {
  std::ofstream out(list, std::ios::binary);
  out << "\xEF\xBB\xBF#EXTM3U\r\n";
  for (int line = 0; line < kM3uLines; ++line) {
    // Relative names, absolute paths and URLs, as a large hand-kept list mixes them.
    if (line % 10 == 0) {
      out << "http://radio.example/stream/" << line << "\r\n";
    } else if (line % 10 == 1) {
      out << "/srv/music/Artist " << line % 97 << "/Track " << line << ".flac\r\n";
    } else {
      out << "Artist " << line % 97 << "/Album " << line % 13 << "/Track " << line << ".mp3\r\n";
    }
  }
  return static_cast<bool>(out);
}

double SecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  fs::path work = fs::temp_directory_path() / "kestrel-playlist-bench";
  int rounds = 7;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--work") work = argv[i + 1];
    if (option == "--rounds") rounds = std::max(1, std::stoi(argv[i + 1]));
  }
  fs::create_directories(work);
  const fs::path tree = work / "tree";
  const fs::path list = work / "list.m3u";
  if (!MakeTree(tree) || !MakeM3u(list)) {
    std::fprintf(stderr, "kestrel_playlist_bench: cannot write the inputs under %s\n", work.c_str());
    return 2;
  }
  if (!kestrel::bench::ProgramExists("find")) {
    std::fprintf(stderr, "kestrel_playlist_bench: the find program is missing\n");
    return 2;
  }

  std::size_t found = 0;
  std::vector<double> scan_times;
  std::vector<double> find_times;
  bool find_ok = true;
  for (int round = 0; round <= rounds; ++round) {
    std::vector<std::string> files;
    const double scan = SecondsOf([&] { kestrel::AddFolderTree(tree.string(), files); });
    const kestrel::bench::TimedRun peer =
        kestrel::bench::RunTimed({"find", tree.string(), "-type", "f"});
    find_ok = find_ok && peer.ok;
    found = files.size();
    if (round == 0) continue;  // warms the cache
    scan_times.push_back(scan);
    find_times.push_back(peer.wall_seconds);
  }

  std::size_t entries = 0;
  std::vector<double> m3u_times;
  for (int round = 0; round <= rounds; ++round) {
    std::vector<std::string> items;
    const double read = SecondsOf([&] { items = kestrel::ReadPlaylistFile(list.string()); });
    entries = items.size();
    if (round > 0) m3u_times.push_back(read);
  }

  std::vector<kestrel::bench::FigureRow> rows;
  kestrel::bench::FigureRow scan_row{"Add Folder, 20,000 files in 400 folders (vs find -type f)",
                                     "s", Median(scan_times), Median(find_times),
                                     kFolderRatioLimit};
  scan_row.measured = find_ok && found == kAudioFiles;
  rows.push_back(scan_row);
  std::printf("%s", kestrel::bench::FigureTable(rows).c_str());

  const double m3u = Median(m3u_times);
  const bool m3u_ok = entries == static_cast<std::size_t>(kM3uLines) && m3u < kM3uLimitSeconds;
  std::printf("\nM3U of %d lines: %s ms (median of %d, slowest %s ms), %zu items, limit %s ms: %s\n",
              kM3uLines, Fixed(m3u * 1000, 1).c_str(), rounds,
              Fixed(*std::max_element(m3u_times.begin(), m3u_times.end()) * 1000, 1).c_str(),
              entries, Fixed(kM3uLimitSeconds * 1000, 0).c_str(), m3u_ok ? "met" : "MISSED");
  std::printf("audio files found by the scan: %zu (expected %zu)\n", found, kAudioFiles);

  if (!scan_row.measured || entries != static_cast<std::size_t>(kM3uLines)) return 2;
  const bool scan_ok = scan_row.kestrel <= kFolderRatioLimit * scan_row.peer;
  return scan_ok && m3u_ok ? 0 : 1;
}
