#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QWidget;

// The Open URL dialog (Ctrl+U): the user types or pastes the address of an internet stream,
// which then becomes the whole playlist and plays.
namespace kestrel {

// "Open URL": one field labelled "Enter stream &URL (http/https):", OK and Cancel. An http:// or
// https:// address on the clipboard (any case) is put in the field, all selected; the field has
// the focus. Control names follow the design's ids: the dialog "id_650", the field "id_651",
// OK "id_1", Cancel "id_2".
class OpenUrlDialog : public QDialog {
 public:
  explicit OpenUrlDialog(QWidget* owner);

  // After OK: what the field held, at most its first 2048 UTF-16 units, without the blanks and
  // line breaks a paste may bring at either end. Empty after Cancel.
  const std::string& EnteredUrl() const { return entered_url_; }

 private:
  void AcceptEntry();

  QLineEdit* url_field_ = nullptr;
  std::string entered_url_;
};

// Runs the dialog modally over `owner` (command 104). After OK with an address, the playlist is
// replaced by that one item and it plays (through PlayItem, which reports a stream that cannot
// be opened). Cancel, or OK with an empty field, changes nothing. While another item is still
// being opened the address is dropped, as every navigation is then.
void ShowOpenUrlDialog(QWidget* owner);

// Tests answer the dialog instead of a person: `ask` returns the address after OK, or an empty
// text for Cancel. nullptr restores the real dialog.
using OpenUrlAsker = std::function<std::string(QWidget* owner)>;
void SetOpenUrlAskerForTesting(OpenUrlAsker ask);

}  // namespace kestrel
