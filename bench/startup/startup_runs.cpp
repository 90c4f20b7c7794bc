#include "startup/startup_runs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrel::bench {
namespace {

namespace fs = std::filesystem;

// How long a program may take to its first audio before the run counts as failed.
constexpr std::int64_t kFirstAudioPatienceNs = 15'000'000'000;
// How long it may take to end after SIGTERM before it gets SIGKILL.
constexpr auto kExitPatience = std::chrono::seconds(5);

std::int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A fresh temp folder holding the run's home and XDG folders; removed with everything in it.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "kestrel-startup-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;
  }
  ~Scratch() {
    std::error_code error;
    if (!root_.empty()) fs::remove_all(root_, error);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  bool ok() const { return !root_.empty(); }
  const fs::path& root() const { return root_; }

  // The parent's environment with HOME, KESTREL_HOME and the XDG folders moved into this folder
  // and `extra` ("NAME=value") added; each folder made.
  std::vector<std::string> Environment(const std::vector<std::string>& extra) const {
    const std::vector<std::pair<std::string, std::string>> folders = {
        {"HOME", "home"},          {"KESTREL_HOME", "kestrel-home"},
        {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"},
        {"XDG_STATE_HOME", "state"},   {"XDG_CACHE_HOME", "cache"},
        {"XDG_RUNTIME_DIR", "runtime"}};
    std::vector<std::string> replaced;
    std::vector<std::string> environment;
    for (const auto& [name, folder] : folders) {
      const fs::path path = root_ / folder;
      std::error_code error;
      fs::create_directories(path, error);
      chmod(path.c_str(), 0700);  // XDG_RUNTIME_DIR must be private
      environment.push_back(name + "=" + path.string());
      replaced.push_back(name);
    }
    for (const std::string& setting : extra) {
      environment.push_back(setting);
      replaced.push_back(setting.substr(0, setting.find('=')));
    }
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string setting = *entry;
      const std::string name = setting.substr(0, setting.find('='));
      if (std::find(replaced.begin(), replaced.end(), name) == replaced.end())
        environment.push_back(setting);
    }
    return environment;
  }

 private:
  fs::path root_;
};

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Spawns with stdin on /dev/null and stdout and stderr into `output`; 0 on failure. `start_ns`
// is taken just before posix_spawnp.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> environment,
            const fs::path& output, std::int64_t* start_ns) {
  std::vector<char*> arguments = Pointers(argv);
  std::vector<char*> variables = Pointers(environment);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = 0;
  *start_ns = MonotonicNs();
  const int error =
      posix_spawnp(&child, arguments[0], &actions, nullptr, arguments.data(), variables.data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? child : 0;
}

bool Exited(pid_t child) {
  int status = 0;
  return waitpid(child, &status, WNOHANG) == child;
}

// SIGTERM, then SIGKILL when it has not ended within the patience; always reaped.
void End(pid_t child) {
  kill(child, SIGTERM);
  const auto give_up = std::chrono::steady_clock::now() + kExitPatience;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) != child) {
    if (std::chrono::steady_clock::now() >= give_up) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// The last lines the program wrote, for a failure message.
std::string Tail(const fs::path& output) {
  std::ifstream in(output);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  if (all.size() > 600) all = "..." + all.substr(all.size() - 600);
  return all.empty() ? "(no output)" : all;
}

StartupRun Failed(std::string why, const fs::path& output) {
  StartupRun run;
  run.failure = std::move(why) + "; its output: " + Tail(output);
  return run;
}

// The nanosecond figure of a finished mark file ("123\n"); false while it is missing or partial.
bool ReadMark(const fs::path& mark, std::int64_t* nanoseconds) {
  std::ifstream in(mark);
  std::string line;
  if (!std::getline(in, line) || in.eof()) return false;  // no newline yet
  const auto result = std::from_chars(line.data(), line.data() + line.size(), *nanoseconds);
  return result.ec == std::errc() && result.ptr == line.data() + line.size();
}

}  // namespace

StartupRun StartKestrel(const fs::path& kestrel, const fs::path& file) {
  Scratch scratch;
  if (!scratch.ok()) return {false, 0, "no temp folder"};
  const fs::path mark = scratch.root() / "first-audio";
  const fs::path output = scratch.root() / "output.txt";
  std::int64_t start_ns = 0;
  const pid_t child = Spawn({kestrel.string(), file.string()},
                            scratch.Environment({"KESTREL_AUDIO=null", "QT_QPA_PLATFORM=offscreen",
                                                 "KESTREL_SPEECH=file:/dev/null",
                                                 "KESTREL_MARK_FIRST_AUDIO=" + mark.string()}),
                            output, &start_ns);
  if (child == 0) return {false, 0, "could not start " + kestrel.string()};
  std::int64_t mark_ns = 0;
  while (!ReadMark(mark, &mark_ns)) {
    if (Exited(child)) return Failed("kestrel ended before its first audio", output);
    if (MonotonicNs() - start_ns > kFirstAudioPatienceNs) {
      End(child);
      return Failed("kestrel handed out no audio within 15 s", output);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  End(child);
  return {true, static_cast<double>(mark_ns - start_ns) / 1e6, {}};
}

StartupRun StartMpv(const fs::path& file) {
  Scratch scratch;
  if (!scratch.ok()) return {false, 0, "no temp folder"};
  const fs::path fifo = scratch.root() / "first-audio.pcm";
  const fs::path output = scratch.root() / "output.txt";
  if (mkfifo(fifo.c_str(), 0600) != 0) return {false, 0, "could not make the FIFO"};
  // Both ends held here: mpv's open for writing never blocks, and reads never see end of file.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const int keeper = reader < 0 ? -1 : open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
  if (reader < 0 || keeper < 0) {
    if (reader >= 0) close(reader);
    return {false, 0, "could not open the FIFO"};
  }
  std::int64_t start_ns = 0;
  const pid_t child = Spawn({"mpv", "--no-config", "--no-terminal", "--no-video", "--ao=pcm",
                             "--ao-pcm-waveheader=no", "--ao-pcm-file=" + fifo.string(),
                             file.string()},
                            scratch.Environment({}), output, &start_ns);
  StartupRun run;
  bool ended = false;
  if (child == 0) {
    run.failure = "could not start mpv";
  } else {
    std::vector<unsigned char> bytes(65536);
    for (;;) {
      if (MonotonicNs() - start_ns > kFirstAudioPatienceNs) {
        run = Failed("mpv wrote no audio within 15 s", output);
        break;
      }
      pollfd wait{reader, POLLIN, 0};
      if (poll(&wait, 1, 5) > 0) {
        const std::int64_t ready_ns = MonotonicNs();
        const ssize_t count = read(reader, bytes.data(), bytes.size());
        if (count > 0 && std::any_of(bytes.begin(), bytes.begin() + count,
                                     [](unsigned char byte) { return byte != 0; })) {
          run = {true, static_cast<double>(ready_ns - start_ns) / 1e6, {}};
          break;
        }
        continue;
      }
      if (Exited(child)) {
        ended = true;
        run = Failed("mpv ended before its first audio", output);
        break;
      }
    }
  }
  // Closing the FIFO first frees mpv from a write blocked on a full pipe.
  close(reader);
  close(keeper);
  if (child != 0 && !ended) End(child);
  return run;
}

}  // namespace kestrel::bench
