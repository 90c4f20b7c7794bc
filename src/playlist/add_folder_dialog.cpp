// The Add Folder command: the folder picker, then every audio file below the folder.
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "playlist/file_pickers.h"
#include "playlist/folder_scan.h"
#include "playlist/open_commands.h"
#include "playlist/replace_playlist.h"
#include "speech/speech.h"

namespace kestrel {

void CommandAddFolder(QWidget* owner) {
  const std::string folder = PickFolder(owner, Translate("Select folder to add to playlist"));
  if (folder.empty()) return;
  std::vector<std::string> files;
  AddFolderTree(folder, files);  // sorted by full path
  if (files.empty()) {
    Speak(Translate("No audio files found"));
    return;
  }
  const std::size_t count = files.size();
  ReplacePlaylist(std::move(files), 0);
  Speak(std::to_string(count) + " " + Translate("files loaded"));
}

}  // namespace kestrel
