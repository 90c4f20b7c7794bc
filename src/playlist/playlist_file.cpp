#include "playlist/playlist_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "playlist/folder_scan.h"
#include "playlist/media_extensions.h"
#include "playlist/playlist_text.h"
#include "storage/file_io.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Larger than any playlist a person keeps (a million entries), small enough to hold in memory.
constexpr std::size_t kLargestPlaylistFile = std::size_t{256} << 20;

// The folder the playlist lies in, absolute and ending with "/".
std::string BaseFolderOf(const std::string& path) {
  std::error_code error;
  std::string absolute = path;
  if (!path.empty() && path.front() != '/') {
    const fs::path made = fs::absolute(path, error);
    if (!error) absolute = made.string();
  }
  const std::size_t separator = absolute.rfind('/');
  return separator == std::string::npos ? std::string() : absolute.substr(0, separator + 1);
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// A relative entry from a Windows playlist uses "\" between folders; on this system that is a
// character of a name, so the "/" form is taken when only it exists.
std::string WithSystemSeparators(std::string resolved, std::string_view entry) {
  if (entry.find('\\') == std::string_view::npos || Exists(resolved)) return resolved;
  std::string converted = resolved;
  const std::size_t from = resolved.size() - entry.size();
  std::replace(converted.begin() + static_cast<std::ptrdiff_t>(from), converted.end(), '\\', '/');
  return Exists(converted) ? converted : resolved;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

}  // namespace

std::vector<std::string> ResolvePlaylistEntries(const std::vector<std::string>& entries,
                                                std::string_view base_folder) {
  std::vector<std::string> items;
  items.reserve(entries.size());
  for (const std::string& entry : entries) {
    std::string resolved = ResolvePlaylistEntry(entry, base_folder);
    if (HasUrlScheme(resolved)) {
      items.push_back(std::move(resolved));
      continue;
    }
    if (resolved.size() > entry.size()) {  // relative to the playlist's folder
      resolved = WithSystemSeparators(std::move(resolved), entry);
    }
    if (IsFolder(resolved)) {
      AddFolderTree(resolved, items);
    } else {
      items.push_back(std::move(resolved));
    }
  }
  return items;
}

std::vector<std::string> ReadPlaylistFile(const std::string& path) {
  const std::string extension = LowerExtensionOf(path);
  if (extension.empty()) return {};
  std::string bytes;
  if (ReadFileBytes(path, bytes, kLargestPlaylistFile) != FileReadResult::kRead) return {};
  const std::vector<std::string> entries =
      extension == ".pls" ? PlsEntries(bytes) : M3uEntries(bytes);
  return ResolvePlaylistEntries(entries, BaseFolderOf(path));
}

bool WritePlaylistM3u(const std::string& path, const std::vector<std::string>& items) {
  std::string text = "\xEF\xBB\xBF#EXTM3U\r\n";
  for (const std::string& item : items) {
    if (item.empty() || item.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
      continue;
    }
    text += item;
    text += "\r\n";
  }
  return WriteFileAtomically(path, text);
}

}  // namespace kestrel
