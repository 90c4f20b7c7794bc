#include "engine/tag_window.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui/relabel.h"

namespace kestrel {

TagWindow::TagWindow(QWidget* owner, const QString& caption, const QString& value)
    : QDialog(owner) {
  setObjectName(QStringLiteral("id_910"));
  setWindowTitle(caption);
  SetNoTranslate(*this);  // the caption is the field's English name in every language

  value_field_ = new QPlainTextEdit(this);
  value_field_->setObjectName(QStringLiteral("id_911"));
  value_field_->setReadOnly(true);
  // Read-only text is still walked with the caret, so a screen reader reads it piece by piece.
  value_field_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  value_field_->setTabChangesFocus(true);
  value_field_->setAccessibleName(caption);
  value_field_->setPlainText(value);
  value_field_->installEventFilter(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(value_field_);
  setMinimumSize(320, 120);

  RelabelDialog(*this);
  value_field_->selectAll();
  value_field_->setFocus();
}

bool TagWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == value_field_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
    if (key == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ShowTagWindow(QWidget* owner, TrackInfoField field) {
  TagWindow window(owner, QString::fromUtf8(TrackInfoCaption(field)),
                   QString::fromStdString(ShownTrackInfo(field)));
  window.exec();
}

}  // namespace kestrel
