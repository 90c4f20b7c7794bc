#include "engine/jump_to_time_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/jump_to_time.h"
#include "engine/time_text.h"
#include "engine/transport.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

// The field holds what the design's 64-unit buffer held: 63 UTF-16 units.
constexpr int kTimeFieldLength = 63;

}  // namespace

JumpToTimeDialog::JumpToTimeDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("id_660"));
  setWindowTitle(QStringLiteral("Jump to Time"));

  auto* label = new QLabel(QStringLiteral("Enter &time (mm:ss or hh:mm:ss):"), this);
  time_field_ = new QLineEdit(this);
  time_field_->setObjectName(QStringLiteral("id_661"));
  time_field_->setMaxLength(kTimeFieldLength);
  label->setBuddy(time_field_);  // names the field for screen readers, and gives Alt+T

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("id_1"));
  ok->setDefault(true);  // Enter in the field is OK
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("id_2"));
  connect(ok, &QPushButton::clicked, this, [this] { AcceptEntry(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(time_field_);
  layout->addLayout(buttons);
  setMinimumWidth(280);

  RelabelDialog(*this);
  time_field_->setText(QString::fromStdString(TimeText(CurrentPositionSeconds())));
  time_field_->selectAll();
  time_field_->setFocus();
}

void JumpToTimeDialog::AcceptEntry() {
  entered_seconds_ = ParseJumpTime(time_field_->text().left(kTimeFieldLength).toStdString());
  accept();
}

void ShowJumpToTimeDialog(QWidget* owner) {
  JumpToTimeDialog dialog(owner);
  if (dialog.exec() != QDialog::Accepted) return;
  const double seconds = dialog.EnteredSeconds();
  if (seconds >= 0) SeekTo(seconds);
}

}  // namespace kestrel
