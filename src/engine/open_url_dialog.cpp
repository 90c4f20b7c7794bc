#include "engine/open_url_dialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <utility>

#include "playlist/replace_playlist.h"
#include "ui/line_entry_dialog.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

// The most of the field that is read: the design's 2048-unit buffer.
constexpr int kUrlFieldLength = 2048;

OpenUrlAsker& TestAsker() {
  static OpenUrlAsker ask;
  return ask;
}

bool StartsWithWebScheme(const QString& text) {
  return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

std::string AskWithDialog(QWidget* owner) {
  OpenUrlDialog dialog(owner);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.EnteredUrl();
}

}  // namespace

OpenUrlDialog::OpenUrlDialog(QWidget* owner) : QDialog(owner) {
  url_field_ = BuildLineEntryDialog(*this, 650, "Open URL", "Enter stream &URL (http/https):", 651,
                                    kUrlFieldLength, 400, [this] { AcceptEntry(); });

  RelabelDialog(*this);
  if (const QClipboard* clipboard = QGuiApplication::clipboard()) {
    const QString copied = clipboard->text();
    if (StartsWithWebScheme(copied)) {
      url_field_->setText(copied);
      url_field_->selectAll();
    }
  }
  url_field_->setFocus();
}

void OpenUrlDialog::AcceptEntry() {
  QString text = url_field_->text().left(kUrlFieldLength);
  // The limit may fall inside a character (the field cuts pasted text at it too): its first
  // half alone is not text, so it goes.
  if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
  entered_url_ = text.trimmed().toStdString();
  accept();
}

void ShowOpenUrlDialog(QWidget* owner) {
  const std::string url = TestAsker() ? TestAsker()(owner) : AskWithDialog(owner);
  if (url.empty()) return;
  ReplacePlaylist({url}, 0);  // while a station connects, the newer choice wins
}

void SetOpenUrlAskerForTesting(OpenUrlAsker ask) { TestAsker() = std::move(ask); }

}  // namespace kestrel
