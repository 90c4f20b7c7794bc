#include "playlist/folder_scan.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "playlist/folder_listing.h"
#include "playlist/media_extensions.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

constexpr int kDeepestLevel = 32;

bool IsScannedFileName(std::string_view name) {
  return IsFolderScanExtension(LowerExtensionOf(name));
}

// Appends the scanned files below `folder`, whose path is in `path` (ending with "/"); the
// buffer is grown and cut back in place so a deep tree costs no copying of its prefix.
void AddTreeLevel(std::string& path, int depth, std::vector<std::string>& list) {
  if (depth > kDeepestLevel) return;
  const std::size_t length = path.size();
  std::vector<std::string> subfolders;
  ListFolder(path, [&](std::string_view name, FolderEntryKind kind) {
    if (kind == FolderEntryKind::kFolder) {
      subfolders.emplace_back(name);
    } else if (kind == FolderEntryKind::kFile && IsScannedFileName(name)) {
      path.append(name);
      list.push_back(path);
      path.resize(length);
    }
  });
  for (const std::string& subfolder : subfolders) {
    path.append(subfolder).push_back('/');
    AddTreeLevel(path, depth + 1, list);
    path.resize(length);
  }
}

}  // namespace

void AddFolderTree(const std::string& folder, std::vector<std::string>& list) {
  const std::size_t first_new = list.size();
  if (folder.empty()) return;
  std::string path = folder;
  if (path.back() != '/') path.push_back('/');
  AddTreeLevel(path, 0, list);
  std::sort(list.begin() + static_cast<std::ptrdiff_t>(first_new), list.end());
}

int LoadFolderOf(const std::string& file, std::vector<std::string>& list) {
  list.clear();
  std::error_code error;
  std::string path = file;
  if (!path.empty() && path.front() != '/') {
    const fs::path absolute = fs::absolute(path, error);
    if (!error) path = absolute.string();
  }
  const std::size_t separator = path.rfind('/');
  if (separator == std::string::npos || !IsScannedFileName(file)) {
    list.push_back(file);
    return 0;
  }
  const std::string folder = path.substr(0, separator + 1);
  const std::string own_name = path.substr(separator + 1);

  std::vector<std::string> names;
  const bool listed = ListFolder(folder, [&](std::string_view name, FolderEntryKind kind) {
    if (!IsScannedFileName(name)) return;
    // A link to a file counts: the user may well have opened the link itself.
    std::error_code status_error;
    if (kind == FolderEntryKind::kFile ||
        (kind == FolderEntryKind::kLink &&
         fs::is_regular_file(folder + std::string(name), status_error))) {
      names.emplace_back(name);
    }
  });
  const auto own = std::find(names.begin(), names.end(), own_name);
  if (!listed || own == names.end()) {
    list.push_back(file);
    return 0;
  }
  std::sort(names.begin(), names.end());
  list.reserve(names.size());
  for (const std::string& name : names) list.push_back(folder + name);
  return static_cast<int>(std::find(names.begin(), names.end(), own_name) - names.begin());
}

}  // namespace kestrel
