#include "engine/jump_to_time_dialog.h"

#include <QLineEdit>

#include "engine/jump_to_time.h"
#include "engine/time_text.h"
#include "engine/transport.h"
#include "ui/line_entry_dialog.h"
#include "ui/relabel.h"

namespace kestrel {
namespace {

// The field holds what the design's 64-unit buffer held: 63 UTF-16 units.
constexpr int kTimeFieldLength = 63;

}  // namespace

JumpToTimeDialog::JumpToTimeDialog(QWidget* owner) : QDialog(owner) {
  time_field_ = BuildLineEntryDialog(*this, 660, "Jump to Time",
                                     "Enter &time (mm:ss or hh:mm:ss):", 661, kTimeFieldLength,
                                     280, [this] { AcceptEntry(); });

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
