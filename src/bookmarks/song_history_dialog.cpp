#include "bookmarks/song_history_dialog.h"

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/translate.h"
#include "speech/speech.h"
#include "storage/database.h"
#include "ui/message_box.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// "title<TAB>2024-05-01 21:14:03", the time in the user's own time zone.
QString RowText(const SongHistoryEntry& entry) {
  const QString heard = QDateTime::fromSecsSinceEpoch(entry.timestamp, Qt::LocalTime)
                            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  return Text(entry.title) + QLatin1Char('\t') + heard;
}

// Ctrl+C, and whatever else the desktop calls Copy (Ctrl+Insert): the list view's own copy would
// take the whole row, time included.
bool IsCopyKey(const QKeyEvent& key) {
  if (key.key() == Qt::Key_C && (key.modifiers() & Qt::ControlModifier)) return true;
  return key.matches(QKeySequence::Copy);
}

}  // namespace

SongHistoryDialog::SongHistoryDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("id_991"));
  setWindowTitle(QStringLiteral("Song History"));

  auto* hint = new QLabel(
      QStringLiteral("Recent songs captured from stream metadata (Ctrl+C to copy):"), this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("id_992"));
  hint->setBuddy(list_);  // a "labelled by" relation for screen readers
  auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
  copy->setObjectName(QStringLiteral("id_993"));
  auto* clear = new QPushButton(QStringLiteral("C&lear"), this);
  clear->setObjectName(QStringLiteral("id_994"));
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("id_2"));
  close->setDefault(true);
  copy->setAutoDefault(false);
  clear->setAutoDefault(false);
  connect(copy, &QPushButton::clicked, this, [this] { CopySelected(); });
  connect(clear, &QPushButton::clicked, this, [this] { AskAndClear(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  // The list keeps 7 pixels each side and takes all the height left; Copy and Clear sit bottom
  // left, Close bottom right.
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy);
  buttons->addWidget(clear);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(7, 6, 7, 6);
  layout->addWidget(hint);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  setMinimumSize(300, 200);
  setSizeGripEnabled(true);

  RelabelDialog(*this);
  // A list is not named by its label's buddy link: it takes the (translated) text above it,
  // which also tells how to copy.
  list_->setAccessibleName(hint->text());
  Fill();
  list_->installEventFilter(this);
  list_->setFocus();
}

void SongHistoryDialog::Fill() {
  list_->clear();
  entries_ = ListSongHistory();
  for (const SongHistoryEntry& entry : entries_) list_->addItem(RowText(entry));
  if (!entries_.empty()) list_->setCurrentRow(0);
}

bool SongHistoryDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (IsCopyKey(key)) {
      CopySelected();
      return true;
    }
    if (key.key() == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SongHistoryDialog::CopySelected() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size())) return;
  CopySongTitle(entries_[static_cast<std::size_t>(row)].title);
}

void SongHistoryDialog::AskAndClear() {
  const MessageResult answer =
      ShowMessageBox(this, {Translate("Clear all song history?"), Translate("Song History"),
                            MessageIcon::Question, MessageButtons::YesNo});
  if (answer != MessageResult::Yes) return;
  ClearSongHistory();
  Fill();
  list_->setFocus();
}

void ShowSongHistoryDialog(QWidget* owner) {
  SongHistoryDialog dialog(owner);
  dialog.exec();
}

void CopySongTitle(const std::string& title) {
  if (title.empty()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  clipboard->setText(Text(title));
  Speak(Translate("Song copied"), true);
}

}  // namespace kestrel
