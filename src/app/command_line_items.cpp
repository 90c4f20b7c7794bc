#include "app/command_line_items.h"

#include <filesystem>

#include "base/utf8.h"
#include "diag/logger.h"
#include "playlist/folder_scan.h"
#include "playlist/media_extensions.h"
#include "playlist/playlist_file.h"

namespace kestrel {

bool IsAcceptableItem(const std::string& item) {
  if (item.rfind("http://", 0) == 0 || item.rfind("https://", 0) == 0) return true;
  std::error_code ec;
  return !item.empty() && std::filesystem::exists(item, ec);
}

std::vector<std::string> ExpandItem(const std::string& item) {
  if (IsPlaylistFile(item)) return ReadPlaylistFile(item);
  // A folder stands for the playable files under it, as Add Folder takes them.
  std::error_code ec;
  if (std::filesystem::is_directory(item, ec)) {
    std::vector<std::string> files;
    AddFolderTree(item, files);
    return files;
  }
  return {item};
}

std::vector<std::string> CommandLineItems(int argc, char** argv) {
  std::vector<std::string> items;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (!IsValidUtf8(argument)) {
      // Names are UTF-8 everywhere in the player; one that is not cannot be shown or spoken.
      LogText("START", "skipped a command-line argument that is not UTF-8");
      continue;
    }
    if (IsAcceptableItem(argument)) items.push_back(std::move(argument));
  }
  return items;
}

}  // namespace kestrel
