#include "playlist/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace kestrel {
namespace {

FolderEntryKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FolderEntryKind::kFile;
  if (S_ISDIR(mode)) return FolderEntryKind::kFolder;
  if (S_ISLNK(mode)) return FolderEntryKind::kLink;
  return FolderEntryKind::kOther;
}

// The listing names the kind on most file systems; where it does not, one lstat tells.
FolderEntryKind KindOf(DIR* folder, const dirent& entry) {
  switch (entry.d_type) {
    case DT_REG: return FolderEntryKind::kFile;
    case DT_DIR: return FolderEntryKind::kFolder;
    case DT_LNK: return FolderEntryKind::kLink;
    case DT_UNKNOWN: break;
    default: return FolderEntryKind::kOther;
  }
  struct stat status;
  if (::fstatat(::dirfd(folder), entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return FolderEntryKind::kOther;
  }
  return KindOfMode(status.st_mode);
}

}  // namespace

bool ListFolder(const std::string& folder,
                const std::function<void(std::string_view name, FolderEntryKind kind)>& visit) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return false;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    visit(name, KindOf(listing, *entry));
  }
  ::closedir(listing);
  return true;
}

}  // namespace kestrel
