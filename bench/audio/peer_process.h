#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs another program from an argument vector (posix_spawnp, never a shell), timing it or
// sampling its resident memory.
namespace kestrel::bench {

struct TimedRun {
  bool ok = false;  // started and exited with status 0
  double wall_seconds = 0;
  double cpu_seconds = 0;  // user + system of the child
};

// Starts the program with `extra_env` entries ("NAME=value") added to this process's
// environment; its standard output and error go to `output_fd` (/dev/null when -1), its input
// is /dev/null. The child's pid, or -1.
pid_t SpawnProgram(const std::vector<std::string>& argv,
                   const std::vector<std::string>& extra_env = {}, int output_fd = -1);
// Waits for the child to end: its exit status, or -1 when it did not exit normally.
int WaitForExit(pid_t child);

// Runs the program to its end with its standard streams on /dev/null.
TimedRun RunTimed(const std::vector<std::string>& argv);

struct MemoryFigures {
  bool ok = false;
  double peak_rss_mib = 0;  // largest VmRSS seen
  double hwm_mib = 0;       // VmHWM at the last sample
};

// Starts the program, samples /proc/<pid>/status every 20 ms for `seconds`, then ends it with
// SIGTERM. Not ok when the program exits before the time is up.
MemoryFigures SampleMemory(const std::vector<std::string>& argv, double seconds);

// VmRSS and VmHWM of a process ("self" or a pid), in MiB; false when unreadable.
bool ReadMemory(const std::string& pid, double* rss_mib, double* hwm_mib);

// True when the program can be found on PATH.
bool ProgramExists(const std::string& name);

}  // namespace kestrel::bench
