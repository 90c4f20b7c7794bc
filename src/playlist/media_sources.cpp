#include "playlist/media_sources.h"

#include <filesystem>
#include <system_error>

#include "playlist/folder_scan.h"
#include "playlist/media_extensions.h"
#include "playlist/playlist_file.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

fs::file_type TypeOf(const std::string& path) {
  std::error_code error;
  return fs::status(path, error).type();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsTextUrl(std::string_view line) {
  for (const std::string_view scheme : {"http://", "https://", "mms://", "rtsp://"}) {
    if (line.substr(0, scheme.size()) == scheme) return true;
  }
  return false;
}

void AddClipboardFile(const std::string& file, std::vector<std::string>& items) {
  if (file.empty() || file.find('\0') != std::string::npos) return;
  const fs::file_type type = TypeOf(file);
  if (type == fs::file_type::directory) {
    AddFolderTree(file, items);
    return;
  }
  if (type != fs::file_type::regular) return;
  const std::string extension = LowerExtensionOf(file);
  if (IsFolderScanExtension(extension) || IsVideoDropExtension(extension)) items.push_back(file);
}

void AddClipboardTextLine(std::string_view line, std::vector<std::string>& items) {
  if (line.empty() || line.find('\0') != std::string_view::npos) return;
  const std::string item(line);
  if (IsTextUrl(line)) {
    items.push_back(item);
    return;
  }
  const fs::file_type type = TypeOf(item);
  if (type == fs::file_type::directory) {
    AddFolderTree(item, items);
  } else if (type == fs::file_type::regular && IsFolderScanExtension(LowerExtensionOf(item))) {
    items.push_back(item);
  }
}

}  // namespace

PlaylistChoice ChoiceForOpenedFiles(const std::vector<std::string>& files, bool load_folder) {
  PlaylistChoice choice;
  if (files.size() == 1 && !IsPlaylistFile(files.front()) && load_folder) {
    choice.start_index = LoadFolderOf(files.front(), choice.items);
    return choice;
  }
  for (const std::string& file : files) {
    if (IsPlaylistFile(file)) {
      std::vector<std::string> entries = ReadPlaylistFile(file);
      choice.items.insert(choice.items.end(), std::make_move_iterator(entries.begin()),
                          std::make_move_iterator(entries.end()));
    } else {
      choice.items.push_back(file);
    }
  }
  return choice;
}

std::vector<std::string> MediaFromClipboard(const std::vector<std::string>& files,
                                            std::string_view text) {
  std::vector<std::string> items;
  for (const std::string& file : files) AddClipboardFile(file, items);
  if (!items.empty()) return items;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    AddClipboardTextLine(TrimBlanks(text.substr(0, end)), items);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return items;
}

}  // namespace kestrel
