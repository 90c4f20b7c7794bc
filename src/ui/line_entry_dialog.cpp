#include "ui/line_entry_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <utility>

namespace kestrel {
namespace {

QString ControlName(int id) { return QStringLiteral("id_%1").arg(id); }

}  // namespace

QLineEdit* BuildLineEntryDialog(QDialog& dialog, int dialog_id, const char* title,
                                const char* label_text, int field_id, int max_length,
                                int minimum_width, std::function<void()> on_ok) {
  dialog.setObjectName(ControlName(dialog_id));
  dialog.setWindowTitle(QString::fromUtf8(title));

  auto* label = new QLabel(QString::fromUtf8(label_text), &dialog);
  auto* field = new QLineEdit(&dialog);
  field->setObjectName(ControlName(field_id));
  field->setMaxLength(max_length);
  label->setBuddy(field);

  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  ok->setObjectName(ControlName(1));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  cancel->setObjectName(ControlName(2));
  QObject::connect(ok, &QPushButton::clicked, &dialog, std::move(on_ok));
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addWidget(field);
  layout->addLayout(buttons);
  dialog.setMinimumWidth(minimum_width);
  return field;
}

}  // namespace kestrel
