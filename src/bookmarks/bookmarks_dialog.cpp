#include "bookmarks/bookmarks_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/utf8.h"
#include "bookmarks/bookmark_commands.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/speech.h"
#include "storage/database.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

constexpr int kCurrentFileRow = 0;
constexpr int kAllBookmarksRow = 1;

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string CurrentItem() {
  const Playlist& playlist = ThePlaylist();
  const int index = playlist.current_index;
  if (index < 0 || index >= static_cast<int>(playlist.items.size())) return {};
  return playlist.items[static_cast<std::size_t>(index)];
}

}  // namespace

BookmarksDialog::BookmarksDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("id_810"));
  setWindowTitle(QStringLiteral("Bookmarks"));

  auto* show_label = new QLabel(QStringLiteral("&Show:"), this);
  filter_ = new QComboBox(this);
  filter_->setObjectName(QStringLiteral("id_812"));
  show_label->setBuddy(filter_);
  auto* hint = new QLabel(QStringLiteral("Enter = jump, Delete = remove, Escape = close"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("id_811"));
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("id_2"));
  close->setAutoDefault(false);  // Enter belongs to the list
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addWidget(show_label);
  top->addWidget(filter_);
  top->addWidget(hint, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(7, 6, 7, 6);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  layout->addLayout(bottom);
  setMinimumSize(300, 200);
  setSizeGripEnabled(true);

  RelabelDialog(*this);
  // A combo box reads out its current text; the screen reader should also hear what it filters.
  filter_->setAccessibleName(show_label->text().remove(QLatin1Char('&')));
  list_->setAccessibleName(Text(Translate("Bookmarks")));
  filter_->addItem(Text(Translate("Current file")));
  filter_->addItem(Text(Translate("All bookmarks")));

  current_file_ = CurrentItem();
  all_ = ListBookmarks();
  filter_->setCurrentIndex(current_file_.empty() ? kAllBookmarksRow : kCurrentFileRow);
  Fill();
  connect(filter_, &QComboBox::currentIndexChanged, this, [this] {
    Fill();
    list_->setFocus();
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { JumpToSelected(); });
  list_->installEventFilter(this);
  list_->setFocus();
}

void BookmarksDialog::Fill() {
  list_->clear();
  shown_.clear();
  const bool current_only = filter_->currentIndex() == kCurrentFileRow;
  for (const BookmarkEntry& bookmark : all_) {
    if (current_only && !EqualsIgnoreAsciiCase(bookmark.path, current_file_)) continue;
    shown_.push_back(bookmark);
    list_->addItem(Text(bookmark.label));
  }
  if (!shown_.empty()) list_->setCurrentRow(0);
}

bool BookmarksDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        JumpToSelected();
        return true;
      case Qt::Key_Delete:
        RemoveSelected();
        return true;
      case Qt::Key_Escape:
        reject();
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void BookmarksDialog::JumpToSelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  const BookmarkEntry bookmark = shown_[static_cast<std::size_t>(row)];
  accept();  // closed first, so the player is not driven under an open modal dialog
  JumpToBookmark(bookmark);
}

void BookmarksDialog::RemoveSelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  const int id = shown_[static_cast<std::size_t>(row)].id;
  // A bookmark the store did not delete stays listed, and nothing claims it was removed.
  if (!DeleteBookmark(id)) return;
  std::erase_if(all_, [id](const BookmarkEntry& bookmark) { return bookmark.id == id; });
  shown_.erase(shown_.begin() + row);
  delete list_->takeItem(row);
  if (!shown_.empty()) list_->setCurrentRow(std::min(row, static_cast<int>(shown_.size()) - 1));
  Speak(Translate("Bookmark removed"), true);
}

void ShowBookmarksDialog(QWidget* owner) {
  BookmarksDialog dialog(owner);
  dialog.exec();
}

}  // namespace kestrel
