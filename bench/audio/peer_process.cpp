#include "audio/peer_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

extern char** environ;

namespace kestrel::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const timeval& value) { return value.tv_sec + value.tv_usec / 1e6; }

// Waits for the child; its status and resource use.
bool Reap(pid_t child, int* status, rusage* usage) {
  for (;;) {
    if (wait4(child, status, 0, usage) == child) return true;
    if (errno != EINTR) return false;
  }
}

double KibLineToMib(const std::string& line) {
  // "VmRSS:\t   12345 kB"
  const auto digits = line.find_first_of("0123456789");
  if (digits == std::string::npos) return 0;
  return std::strtod(line.c_str() + digits, nullptr) / 1024.0;
}

}  // namespace

pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env,
                   int output_fd) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
  environment.insert(environment.end(), extra_env.begin(), extra_env.end());
  std::vector<std::string> arguments = argv;
  std::vector<char*> argv_pointers, envp;
  for (std::string& argument : arguments) argv_pointers.push_back(argument.data());
  argv_pointers.push_back(nullptr);
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (output_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output_fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output_fd, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  pid_t child = -1;
  const int failed =
      posix_spawnp(&child, argv_pointers[0], &actions, nullptr, argv_pointers.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : child;
}

int WaitForExit(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TimedRun RunTimed(const std::vector<std::string>& argv) {
  TimedRun run;
  const auto start = Clock::now();
  const pid_t child = SpawnProgram(argv);
  if (child <= 0) return run;
  int status = 0;
  rusage usage{};
  if (!Reap(child, &status, &usage)) return run;
  run.wall_seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.cpu_seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

bool ReadMemory(const std::string& pid, double* rss_mib, double* hwm_mib) {
  std::ifstream status("/proc/" + pid + "/status");
  if (!status) return false;
  bool rss = false, hwm = false;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) *rss_mib = KibLineToMib(line), rss = true;
    if (line.rfind("VmHWM:", 0) == 0) *hwm_mib = KibLineToMib(line), hwm = true;
  }
  return rss && hwm;
}

MemoryFigures SampleMemory(const std::vector<std::string>& argv, double seconds) {
  MemoryFigures figures;
  const pid_t child = SpawnProgram(argv);
  if (child <= 0) return figures;
  const std::string pid = std::to_string(child);
  const auto stop = Clock::now() + std::chrono::duration<double>(seconds);
  bool alive = true;
  while (Clock::now() < stop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      alive = false;
      break;
    }
    double rss = 0, hwm = 0;
    if (ReadMemory(pid, &rss, &hwm)) {
      figures.peak_rss_mib = std::max(figures.peak_rss_mib, rss);
      figures.hwm_mib = hwm;
    }
  }
  if (alive) {
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    Reap(child, &status, &usage);
  }
  figures.ok = alive && figures.hwm_mib > 0;
  return figures;
}

bool ProgramExists(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string directories = path ? path : "/usr/bin:/bin";
  std::size_t begin = 0;
  while (begin <= directories.size()) {
    const std::size_t end = std::min(directories.find(':', begin), directories.size());
    const std::string candidate = directories.substr(begin, end - begin) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace kestrel::bench
