#pragma once

#include <QDialog>

#include "engine/tag_track_info.h"

class QPlainTextEdit;
class QWidget;

// The tag window: one value about the current item in a small read-only window, so the user can
// read it character by character or copy it.
namespace kestrel {

// A modal window captioned with the English field name ("Title" ... "Filename") whose only control
// is a read-only multi-line field holding the value, all selected and focused; Enter or Escape
// closes it. Control names follow the design's ids: the window "id_910", the field "id_911".
class TagWindow : public QDialog {
 public:
  TagWindow(QWidget* owner, const QString& caption, const QString& value);

  QPlainTextEdit* ValueField() const { return value_field_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* value_field_ = nullptr;
};

// Shows the field's value about the current item (the commands Shift+1 to Shift+0) and returns
// when the user closes the window.
void ShowTagWindow(QWidget* owner, TrackInfoField field);

}  // namespace kestrel
