#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "storage/database_records.h"

class QComboBox;
class QListWidget;
class QWidget;

// The Bookmarks dialog (Ctrl+M): every bookmark, or those of the current file, newest first;
// Enter or a double click jumps to the selected one and closes, Delete removes it, Escape
// closes. Control names follow the design's ids: the dialog "id_810", the list "id_811", the
// filter "id_812", Close "id_2".
namespace kestrel {

class BookmarksDialog : public QDialog {
 public:
  explicit BookmarksDialog(QWidget* owner);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();
  void JumpToSelected();
  void RemoveSelected();

  QComboBox* filter_ = nullptr;
  QListWidget* list_ = nullptr;
  std::string current_file_;              // the playlist's current item, or empty
  std::vector<BookmarkEntry> all_;        // as read when the dialog opened
  std::vector<BookmarkEntry> shown_;      // the rows of the list, in order
};

// Runs the dialog modally over `owner` (command 801).
void ShowBookmarksDialog(QWidget* owner);

}  // namespace kestrel
