#pragma once

#include <QDialog>

#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

// The Playlist Manager: the playlist as a numbered list, where the user plays, removes, moves and
// pastes items with the keyboard and saves the list as M3U. It keeps no copy of the playlist:
// every change goes straight into ThePlaylist() and the list is refilled from it. The playlist
// can still change while the dialog is open (a hand-over from a second start, the end of a
// track), so the dialog refills whenever it is told or notices, and refuses to act on a row
// that no longer shows the live item at its place.
namespace kestrel {

// "3. song.mp3": the 1-based position and the text after the item's last '/' or '\'.
std::string PlaylistRowText(int position, std::string_view item);

class PlaylistManagerDialog : public QDialog {
 public:
  explicit PlaylistManagerDialog(QWidget* parent = nullptr);
  ~PlaylistManagerDialog() override;

  // The current item changed (message 1028): refills when the list changed, and with
  // [Playback] PlaylistFollow on selects the current item.
  void OnCurrentItemChanged();

  QListWidget& List() const { return *list_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when every row shows the live item at its place; otherwise refills and returns false.
  bool InSyncWithPlaylist();
  bool RowsMatchPlaylist() const;
  void Fill(int selected);
  void SelectRows(int focus, const std::vector<int>& rows);
  std::vector<int> SelectedRows() const;
  int FocusRow() const;

  void PlayFocusedRow();
  void RemoveSelectedRows();
  void PasteAfterFocusedRow();
  void MoveSelectedRows(int step);
  void SavePlaylist();

  QListWidget* list_ = nullptr;
  QPushButton* save_ = nullptr;
  QLabel* help_ = nullptr;
  QTimer* watch_ = nullptr;
};

// Ctrl+P: the dialog, modal over `owner`, until the user closes it or plays an item.
void ShowPlaylistManager(QWidget* owner);

// Message 1028 reached the main window: the open manager, if any, follows.
void NotifyPlaylistManager();

}  // namespace kestrel
