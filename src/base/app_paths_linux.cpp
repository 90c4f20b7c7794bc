#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

#include "base/app_paths.h"

namespace kestrel {
namespace fs = std::filesystem;

fs::path ExecutablePath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe;
}

fs::path ExecutableDir() { return ExecutablePath().parent_path(); }

namespace {

fs::path HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? fs::path(home) : fs::path("/tmp");
}

fs::path FromEnvOr(const char* variable, const fs::path& fallback) {
  const char* value = std::getenv(variable);
  // XDG says relative values are invalid and must be ignored.
  if (value && *value == '/') return fs::path(value);
  return fallback;
}

}  // namespace

std::string UserKey() { return std::to_string(static_cast<unsigned long>(getuid())); }

fs::path UserBaseFolder(UserFolder kind) {
  switch (kind) {
    case UserFolder::Config:
      return FromEnvOr("XDG_CONFIG_HOME", HomeFolder() / ".config");
    case UserFolder::Data:
      return FromEnvOr("XDG_DATA_HOME", HomeFolder() / ".local/share");
    case UserFolder::State:
      return FromEnvOr("XDG_STATE_HOME", HomeFolder() / ".local/state");
    case UserFolder::Cache:
      return FromEnvOr("XDG_CACHE_HOME", HomeFolder() / ".cache");
    case UserFolder::Runtime: {
      fs::path fallback = fs::temp_directory_path() / ("kestrel-" + UserKey());
      std::error_code ec;
      if (fs::create_directories(fallback, ec)) ::chmod(fallback.c_str(), 0700);
      return FromEnvOr("XDG_RUNTIME_DIR", fallback);
    }
  }
  return {};
}

fs::path KestrelFolder(UserFolder kind) {
  fs::path folder = UserBaseFolder(kind) / "Kestrel";
  std::error_code ec;
  fs::create_directories(folder, ec);
  return folder;
}

}  // namespace kestrel
