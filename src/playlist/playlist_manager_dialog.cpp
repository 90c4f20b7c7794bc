#include "playlist/playlist_manager_dialog.h"

#include <QByteArray>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "i18n/translate.h"
#include "playlist/navigation.h"
#include "playlist/open_commands.h"
#include "playlist/playlist.h"
#include "playlist/playlist_file.h"
#include "playlist/save_picker.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "ui/message_box.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

constexpr const char* kHelpText =
    "Alt+Up/Down: Move  |  Delete: Remove  |  Enter: Play  |  Ctrl+V: Paste  |  Esc: Close";

// How often the open dialog looks for changes nobody told it about (a hand-over whose items
// all failed to open posts no 1028). Comparing the rows is cheap; nothing is refilled unless
// the playlist changed.
constexpr int kWatchIntervalMs = 500;

// The dialog that is open now, for NotifyPlaylistManager.
QPointer<PlaylistManagerDialog>& OpenDialog() {
  static QPointer<PlaylistManagerDialog> dialog;
  return dialog;
}

// Each row carries its item's bytes, so a row can be checked against the live list.
constexpr int kItemRole = Qt::UserRole;

QByteArray ItemBytes(const std::string& item) {
  return QByteArray(item.data(), static_cast<qsizetype>(item.size()));
}

Playlist& Live() { return ThePlaylist(); }
int ItemCount() { return static_cast<int>(Live().items.size()); }

}  // namespace

std::string PlaylistRowText(int position, std::string_view item) {
  const std::size_t slash = item.find_last_of("/\\");
  const std::string_view file = slash == std::string_view::npos ? item : item.substr(slash + 1);
  return std::to_string(position) + ". " + std::string(file);
}

PlaylistManagerDialog::PlaylistManagerDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("id_930"));
  setWindowTitle(QStringLiteral("Playlist Manager"));
  setMinimumSize(350, 200);

  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("id_931"));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setAccessibleName(QStringLiteral("Playlist"));
  list_->setAccessibleDescription(QString::fromLatin1(kHelpText));
  list_->installEventFilter(this);

  save_ = new QPushButton(QStringLiteral("&Save..."), this);
  save_->setObjectName(QStringLiteral("id_932"));
  save_->setAutoDefault(false);  // Enter belongs to the list: it plays the item

  help_ = new QLabel(QString::fromLatin1(kHelpText), this);
  help_->setObjectName(QStringLiteral("playlist_help"));

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(save_);
  bottom->addWidget(help_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(7, 7, 7, 7);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);

  connect(save_, &QPushButton::clicked, this, [this] { SavePlaylist(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { PlayFocusedRow(); });

  watch_ = new QTimer(this);
  watch_->setInterval(kWatchIntervalMs);
  connect(watch_, &QTimer::timeout, this, [this] { InSyncWithPlaylist(); });
  watch_->start();

  RelabelDialog(*this);
  const int current = Live().current_index;
  Fill(current);
  list_->setFocus();
  OpenDialog() = this;
}

PlaylistManagerDialog::~PlaylistManagerDialog() {
  if (OpenDialog() == this) OpenDialog() = nullptr;
}

bool PlaylistManagerDialog::RowsMatchPlaylist() const {
  const auto& items = Live().items;
  if (list_->count() != static_cast<int>(items.size())) return false;
  for (int i = 0; i < list_->count(); ++i) {
    if (list_->item(i)->data(kItemRole).toByteArray() != ItemBytes(items[static_cast<std::size_t>(i)])) {
      return false;
    }
  }
  return true;
}

bool PlaylistManagerDialog::InSyncWithPlaylist() {
  if (RowsMatchPlaylist()) return true;
  // Keep the user on the item they were on when it is still in the list; otherwise on the
  // current item.
  int keep = -1;
  if (QListWidgetItem* focused = list_->currentItem()) {
    const QByteArray bytes = focused->data(kItemRole).toByteArray();
    const auto& items = Live().items;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (ItemBytes(items[i]) == bytes) {
        keep = static_cast<int>(i);
        break;
      }
    }
  }
  if (TheSettings().playlist_follow || keep < 0) keep = Live().current_index;
  Fill(keep);
  return false;
}

void PlaylistManagerDialog::Fill(int selected) {
  list_->clear();
  int position = 1;
  for (const std::string& item : Live().items) {
    auto* row = new QListWidgetItem(QString::fromStdString(PlaylistRowText(position++, item)));
    row->setData(kItemRole, ItemBytes(item));
    list_->addItem(row);
  }
  if (selected >= 0 && selected < list_->count()) SelectRows(selected, {selected});
}

void PlaylistManagerDialog::SelectRows(int focus, const std::vector<int>& rows) {
  list_->clearSelection();
  if (focus >= 0 && focus < list_->count()) {
    list_->setCurrentRow(focus, QItemSelectionModel::NoUpdate);
  }
  for (int row : rows) {
    if (row >= 0 && row < list_->count()) list_->item(row)->setSelected(true);
  }
  if (QListWidgetItem* item = list_->currentItem()) list_->scrollToItem(item);
}

std::vector<int> PlaylistManagerDialog::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

int PlaylistManagerDialog::FocusRow() const {
  const int row = list_->currentRow();
  return row >= 0 && row < list_->count() ? row : -1;
}

void PlaylistManagerDialog::OnCurrentItemChanged() {
  InSyncWithPlaylist();
  const int current = Live().current_index;
  if (TheSettings().playlist_follow && current >= 0 && current < list_->count()) {
    SelectRows(current, {current});
  }
}

bool PlaylistManagerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (mods != Qt::NoModifier) break;
      PlayFocusedRow();
      return true;
    case Qt::Key_Escape:
      reject();
      return true;
    case Qt::Key_Delete:
      if (mods != Qt::NoModifier) break;
      RemoveSelectedRows();
      return true;
    case Qt::Key_A:
      if (mods != Qt::ControlModifier) break;
      list_->selectAll();
      return true;
    case Qt::Key_V:
      if (mods != Qt::ControlModifier) break;
      PasteAfterFocusedRow();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (mods != Qt::AltModifier) break;
      MoveSelectedRows(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void PlaylistManagerDialog::PlayFocusedRow() {
  if (!InSyncWithPlaylist()) return;  // the row the user saw is gone; they now see the live list
  const int row = FocusRow();
  if (row < 0) return;
  PlayItem(row, true);
  accept();
}

void PlaylistManagerDialog::RemoveSelectedRows() {
  if (!InSyncWithPlaylist()) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  Playlist& playlist = Live();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int k = *it;
    playlist.items.erase(playlist.items.begin() + k);
    // The current item keeps its identity; when it is removed it keeps playing, with no place.
    if (k < playlist.current_index) {
      --playlist.current_index;
    } else if (k == playlist.current_index) {
      playlist.current_index = -1;
    }
  }
  Fill(std::min(rows.front(), ItemCount() - 1));
  Speak(std::to_string(rows.size()) + " " + Translate("removed"), true);
}

void PlaylistManagerDialog::PasteAfterFocusedRow() {
  if (!InSyncWithPlaylist()) return;
  std::vector<std::string> pasted = ReadClipboardMedia();
  if (pasted.empty()) return;
  const int focus = FocusRow();
  const int at = focus >= 0 ? focus + 1 : ItemCount();
  Playlist& playlist = Live();
  const int count = static_cast<int>(pasted.size());
  playlist.items.insert(playlist.items.begin() + at, std::make_move_iterator(pasted.begin()),
                        std::make_move_iterator(pasted.end()));
  if (playlist.current_index >= at) playlist.current_index += count;
  Fill(at);
  Speak(std::to_string(count) + " " + Translate("files pasted"), true);
}

void PlaylistManagerDialog::MoveSelectedRows(int step) {
  if (!InSyncWithPlaylist()) return;
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  if (step < 0 && rows.front() == 0) return;
  if (step > 0 && rows.back() == ItemCount() - 1) return;
  if (step > 0) std::reverse(rows.begin(), rows.end());
  Playlist& playlist = Live();
  std::vector<int> moved;
  for (int k : rows) {
    const int to = k + step;
    std::swap(playlist.items[static_cast<std::size_t>(k)], playlist.items[static_cast<std::size_t>(to)]);
    if (playlist.current_index == k) {
      playlist.current_index = to;
    } else if (playlist.current_index == to) {
      playlist.current_index = k;
    }
    moved.push_back(to);
  }
  Fill(-1);
  // The focus goes with the moved block's leading row: the top one going up, the bottom one down.
  SelectRows(moved.front(), moved);
}

void PlaylistManagerDialog::SavePlaylist() {
  InSyncWithPlaylist();  // what is saved is the live list; the rows only show it
  if (Live().items.empty()) {
    ShowMessageBox(this, {Translate("Playlist is empty."), Translate("Save Playlist"),
                          MessageIcon::Information, MessageButtons::Ok});
    return;
  }
  SavePickerRequest request;
  request.caption = Translate("Save Playlist");
  request.filters = {Translate("M3U Playlist (*.m3u)"), Translate("M3U8 Playlist (*.m3u8)"),
                     Translate("All Files (*.*)")};
  // The picker reads "*.*" as files with a dot; every file is "*" here.
  std::string& all = request.filters.back();
  if (const auto at = all.rfind("(*.*)"); at != std::string::npos) all.replace(at, 5, "(*)");
  request.default_name = "playlist.m3u";
  request.default_suffix = "m3u";
  const std::string path = PickFileToSave(this, request);
  if (path.empty()) return;
  if (WritePlaylistM3u(path, Live().items)) {
    Speak(Translate("Playlist saved"), true);
  } else {
    ShowMessageBox(this, {Translate("Failed to save playlist."), Translate("Error"), MessageIcon::Error,
                          MessageButtons::Ok});
  }
  list_->setFocus();
}

void ShowPlaylistManager(QWidget* owner) {
  PlaylistManagerDialog dialog(owner);
  dialog.exec();
}

void NotifyPlaylistManager() {
  if (PlaylistManagerDialog* dialog = OpenDialog()) dialog->OnCurrentItemChanged();
}

}  // namespace kestrel
