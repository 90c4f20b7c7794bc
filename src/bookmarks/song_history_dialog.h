#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "storage/database_records.h"

class QListWidget;
class QWidget;

// The Song History dialog (Ctrl+Shift+H): the song titles captured from internet streams, newest
// first, each with the local time it was heard. Ctrl+C or Copy puts the selected title on the
// clipboard, Clear empties the history after a Yes/No question, Escape or Close closes. Control
// names follow the design's ids: the dialog "id_991", the list "id_992", Copy "id_993", Clear
// "id_994", Close "id_2".
namespace kestrel {

class SongHistoryDialog : public QDialog {
 public:
  explicit SongHistoryDialog(QWidget* owner);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();
  void CopySelected();
  void AskAndClear();

  QListWidget* list_ = nullptr;
  std::vector<SongHistoryEntry> entries_;  // row i of the list is entry i
};

// Runs the dialog modally over `owner` (command 990).
void ShowSongHistoryDialog(QWidget* owner);

// Puts `title` alone on the clipboard and says "Song copied"; nothing for an empty title.
void CopySongTitle(const std::string& title);

}  // namespace kestrel
