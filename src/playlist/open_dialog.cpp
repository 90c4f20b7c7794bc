// The Open command: the file picker with the player's type filter.
#include <string_view>

#include "i18n/translate.h"
#include "playlist/file_pickers.h"
#include "playlist/media_extensions.h"
#include "playlist/media_sources.h"
#include "playlist/open_commands.h"
#include "playlist/replace_playlist.h"
#include "speech/speech.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

// The design's "*.*" is "every file"; on this system many files have no dot at all, so the
// picker is given "*".
constexpr std::string_view kEveryFile = "*.*";

std::string PickerPatterns(std::string_view patterns) {
  if (patterns == kEveryFile) return "*";
  std::string spaced(patterns);
  for (char& c : spaced) {
    if (c == ';') c = ' ';
  }
  return spaced;
}

}  // namespace

std::vector<std::string> OpenFileFilters() {
  std::vector<std::string> filters;
  for (const OpenFilterRow& row : OpenFilterRows()) {
    std::string label = Translate(row.label);
    // "All Files (*.*)" carries its pattern in its label already: the picker reads the last
    // parenthesised group as the patterns, so that group is replaced, not repeated.
    const std::string shown_pattern = "(" + std::string(row.patterns) + ")";
    if (label.size() > shown_pattern.size() &&
        label.compare(label.size() - shown_pattern.size(), shown_pattern.size(), shown_pattern) == 0) {
      label.erase(label.size() - shown_pattern.size());
      while (!label.empty() && label.back() == ' ') label.pop_back();
    }
    filters.push_back(label + " (" + PickerPatterns(row.patterns) + ")");
  }
  return filters;
}

void CommandOpenFiles(QWidget* owner) {
  FilePickerRequest request;
  request.caption = Translate("Open file");
  request.filters = OpenFileFilters();
  request.selected_filter = 0;
  const std::vector<std::string> files = PickFilesToOpen(owner, request);
  if (files.empty()) return;
  PlaylistChoice choice = ChoiceForOpenedFiles(files, TheSettings().load_folder);
  if (choice.items.empty()) {
    Speak(Translate("No audio files found"));
    return;
  }
  ReplacePlaylist(std::move(choice.items), choice.start_index);
}

}  // namespace kestrel
