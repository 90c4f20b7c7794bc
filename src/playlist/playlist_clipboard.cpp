// Paste from the clipboard: the system clipboard read through Qt, its contents judged by
// MediaFromClipboard.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <string>
#include <vector>

#include "i18n/translate.h"
#include "playlist/media_sources.h"
#include "playlist/open_commands.h"
#include "playlist/replace_playlist.h"
#include "speech/speech.h"

namespace kestrel {

std::vector<std::string> ReadClipboardMedia() {
  try {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (!data) return {};
    std::vector<std::string> files;
    if (data->hasUrls()) {
      for (const QUrl& url : data->urls()) {
        // File names on this system are bytes; encodeName keeps one that is not UTF-8 intact.
        if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
      }
    }
    const std::string text = data->hasText() ? data->text().toStdString() : std::string();
    return MediaFromClipboard(files, text);
  } catch (...) {
    // Whatever goes wrong while reading counts as an empty clipboard.
    return {};
  }
}

void CommandPasteFromClipboard() {
  std::vector<std::string> items = ReadClipboardMedia();
  if (items.empty()) {
    Speak(Translate("No media in clipboard"));
    return;
  }
  const std::size_t count = items.size();
  ReplacePlaylist(std::move(items), 0);
  Speak(count == 1 ? Translate("Pasted 1 item")
                   : std::to_string(count) + " " + Translate("items pasted"));
}

}  // namespace kestrel
