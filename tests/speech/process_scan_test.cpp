#include "speech/process_scan.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace kestrel {
namespace {

using namespace std::string_literals;

TEST(ProcessScan, RecognisesAProgramByShortNameProgramPathOrPythonScript) {
  struct Case {
    std::string comm;
    std::string cmdline;
    const char* name;
    bool expected;
  };
  const Case cases[] = {
      {"orca\n", "/usr/bin/python3\0/usr/bin/orca\0--replace\0"s, "orca", true},
      {"python3\n", "/usr/bin/python3\0/usr/bin/orca\0"s, "orca", true},
      {"python3.11\n", "python3.11\0-O\0/usr/local/bin/orca\0"s, "orca", true},
      {"python3\n", "python3\0-m\0orca\0"s, "orca", true},
      {"fenrir\n", "/usr/bin/fenrir\0-f\0"s, "fenrir", true},
      {"python3\n", "/usr/bin/python3\0/opt/fenrir/src/fenrir\0-f\0"s, "fenrir", true},
      // Not the program itself, only something that mentions it.
      {"vim\n", "vim\0/home/user/orca\0"s, "orca", false},
      {"python3\n", "python3\0-c\0import x; x.run('/usr/bin/orca')\0"s, "orca", false},
      {"python3\n", "python3\0/usr/bin/orca-setup\0"s, "orca", false},
      {"orcaview\n", "/usr/bin/orcaview\0"s, "orca", false},
      {"orca\n", ""s, "fenrir", false},
      {"", ""s, "orca", false},  // a kernel thread, or a process that just ended
      {"", ""s, "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessRunsProgram(c.comm, c.cmdline, c.name), c.expected)
        << c.comm << " / " << c.name;
  }
}

TEST(ProcessScan, ScansNumberedProcessFoldersOnly) {
  test::TempFolder proc;
  proc.Write("1/comm", "systemd\n");
  proc.Write("1/cmdline", "/sbin/init\0"s);
  proc.Write("4242/comm", "python3\n");
  proc.Write("4242/cmdline", "/usr/bin/python3\0/usr/bin/orca\0"s);
  proc.Write("self/comm", "fenrir\n");  // not a process folder
  proc.Write("77/comm", "bash\n");      // no cmdline: it ended while being read

  EXPECT_TRUE(IsProgramRunning("orca", proc.path()));
  EXPECT_FALSE(IsProgramRunning("fenrir", proc.path()));
  EXPECT_FALSE(IsProgramRunning("orca", proc.path() / "missing"));
}

TEST(ProcessScan, FindsThisVeryProcessInTheRealProcTable) {
  std::string comm = test::ReadWholeFile("/proc/self/comm");
  while (!comm.empty() && comm.back() == '\n') comm.pop_back();
  EXPECT_TRUE(IsProgramRunning(comm));
}

}  // namespace
}  // namespace kestrel
