#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>

#include "support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_HAS_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_HAS_LSAN 1
#endif
#endif
#ifdef KESTREL_HAS_LSAN
#include <sanitizer/lsan_interface.h>
#endif

extern char** environ;

// A French C and C++ locale for a test's duration, to show that settings numbers never take a
// decimal comma.
namespace kestrel::test {

// glibc keeps the LOCPATH it was given in a buffer it never frees; that is not ours to report.
inline std::string SetLocaleUntracked(const char* name) {
#ifdef KESTREL_HAS_LSAN
  __lsan::ScopedDisabler untracked;
#endif
  const char* result = std::setlocale(LC_ALL, name);
  return result ? result : "";
}

// Makes fr_FR.UTF-8 the C and C++ locale for the test's duration, compiling it into a scratch
// folder when the system lacks it; `active` tells whether a comma really is the decimal mark.
class FrenchLocale {
 public:
  FrenchLocale() {
    if (SetLocaleUntracked("fr_FR.UTF-8").empty()) {
      const std::string out = (scratch_.path() / "fr_FR.UTF-8").string();
      const char* argv[] = {"localedef", "-i", "fr_FR", "-f", "UTF-8", out.c_str(), nullptr};
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      pid_t child = 0;
      if (posix_spawnp(&child, "localedef", &actions, nullptr, const_cast<char**>(argv), environ) ==
          0) {
        int status = 0;
        waitpid(child, &status, 0);
      }
      posix_spawn_file_actions_destroy(&actions);
      setenv("LOCPATH", scratch_.path().c_str(), 1);
      if (SetLocaleUntracked("fr_FR.UTF-8").empty()) return;
    }
    try {
#ifdef KESTREL_HAS_LSAN
      __lsan::ScopedDisabler untracked;
#endif
      std::locale::global(std::locale("fr_FR.UTF-8"));  // also makes it the C locale
    } catch (const std::exception&) {
      // The C locale set above alone still shows a comma written by printf or read by atof.
    }
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 125.5);
    active_ = std::string(printed) == "125,50";
  }
  ~FrenchLocale() {
    std::locale::global(std::locale::classic());
    SetLocaleUntracked("C");
    unsetenv("LOCPATH");
  }
  bool active() const { return active_; }

 private:
  TempFolder scratch_;
  bool active_ = false;
};

}  // namespace kestrel::test
