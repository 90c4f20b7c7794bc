#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

// The small dialogs that ask for one line of text: a label naming the field (its buddy, so
// screen readers read the label as the field's name and Alt plus the marked letter reaches it),
// the field, then OK (the default: Enter in the field) and Cancel. Controls are named "id_<n>".
namespace kestrel {

// Builds the controls into `dialog`. OK calls `on_ok`; Cancel rejects. Returns the field.
QLineEdit* BuildLineEntryDialog(QDialog& dialog, int dialog_id, const char* title,
                                const char* label_text, int field_id, int max_length,
                                int minimum_width, std::function<void()> on_ok);

}  // namespace kestrel
