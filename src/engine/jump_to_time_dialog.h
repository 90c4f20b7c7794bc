#pragma once

#include <QDialog>

class QLineEdit;
class QWidget;

// The jump-to-time dialog: the user types a time and playback moves there.
namespace kestrel {

// "Jump to Time": one field labelled "Enter &time (mm:ss or hh:mm:ss):" that opens with the
// current position as a time text, all selected, plus OK and Cancel. Control names follow the
// design's ids: the dialog "id_660", the field "id_661", OK "id_1", Cancel "id_2".
class JumpToTimeDialog : public QDialog {
 public:
  explicit JumpToTimeDialog(QWidget* owner);

  // After OK: the time typed, in seconds (-1 when it was not a time); -1 after Cancel.
  double EnteredSeconds() const { return entered_seconds_; }

 private:
  void AcceptEntry();

  QLineEdit* time_field_ = nullptr;
  double entered_seconds_ = -1;
};

// Runs the dialog modally over `owner` (the "Jump to Time" command) and, after OK with a time of
// 0 or more, seeks there; a time beyond the end goes to the end. Anything else changes nothing
// and says nothing.
void ShowJumpToTimeDialog(QWidget* owner);

}  // namespace kestrel
