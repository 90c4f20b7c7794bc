#include "playlist/recent_list.h"

#include <algorithm>

#include "storage/settings.h"

namespace kestrel {
namespace {

bool IsInternetAddress(std::string_view path) {
  return path.size() > 2 && path.find("://") != std::string_view::npos;
}

std::string_view FileNamePart(std::string_view entry) {
  const std::size_t slash = entry.find_last_of('/');
  return slash == std::string_view::npos ? entry : entry.substr(slash + 1);
}

}  // namespace

void AddRecentFile(std::vector<std::string>& list, std::string_view path) {
  if (path.empty() || IsInternetAddress(path)) return;
  const auto same = std::find(list.begin(), list.end(), path);
  if (same != list.end()) list.erase(same);
  list.insert(list.begin(), std::string(path));
  if (list.size() > static_cast<std::size_t>(kMaxRecentFiles)) list.resize(kMaxRecentFiles);
}

void AddRecentFile(std::string_view path) { AddRecentFile(TheSettings().recent_files, path); }

std::string RecentMenuLabel(int index, std::string_view entry) {
  std::string label = "&";
  label += static_cast<char>('0' + (index + 1) % 10);
  label += ' ';
  for (const char c : FileNamePart(entry)) {
    if (c == '&') label += '&';
    label += c;
  }
  return label;
}

}  // namespace kestrel
