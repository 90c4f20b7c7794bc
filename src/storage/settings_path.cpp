#include "storage/settings_path.h"

#include <cstdlib>
#include <mutex>
#include <optional>
#include <system_error>

#include "base/app_paths.h"
#include "storage/file_io.h"
#include "storage/settings.h"

namespace kestrel {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSettingsFileName = "Kestrel.ini";

struct ResolvedPath {
  std::mutex mutex;
  std::optional<fs::path> path;
};

ResolvedPath& TheResolvedPath() {
  static auto* resolved = new ResolvedPath;
  return *resolved;
}

}  // namespace

bool IsInstalledCopyAt(const fs::path& executable_dir) {
  if (executable_dir.empty()) return true;
  std::error_code ec;
  return fs::exists(executable_dir / "installed.txt", ec) || !IsFolderWritable(executable_dir);
}

fs::path ChooseSettingsPath(std::string_view kestrel_home, const fs::path& executable_dir) {
  if (!kestrel_home.empty()) {
    const fs::path folder(kestrel_home);
    std::error_code ec;
    fs::create_directories(folder, ec);  // a failure shows at the first write
    return folder / kSettingsFileName;
  }
  if (IsInstalledCopyAt(executable_dir)) {
    return KestrelFolder(UserFolder::Config) / kSettingsFileName;
  }
  return executable_dir / kSettingsFileName;
}

bool IsInstalledCopy() { return IsInstalledCopyAt(ExecutableDir()); }

fs::path SettingsFilePath() {
  ResolvedPath& resolved = TheResolvedPath();
  std::lock_guard lock(resolved.mutex);
  if (!resolved.path) {
    const char* home = std::getenv("KESTREL_HOME");
    resolved.path = ChooseSettingsPath(home ? home : "", ExecutableDir());
  }
  return *resolved.path;
}

void ResetSettingsPathForTesting() {
  ResolvedPath& resolved = TheResolvedPath();
  std::lock_guard lock(resolved.mutex);
  resolved.path.reset();
}

}  // namespace kestrel
