#include "app/key_input.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "i18n/translate.h"

namespace kestrel {
namespace {

bool IsModifierOrLockKey(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_AltGr:
    case Qt::Key_Meta: case Qt::Key_Super_L: case Qt::Key_Super_R: case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R: case Qt::Key_CapsLock: case Qt::Key_NumLock: case Qt::Key_ScrollLock:
      return true;
    default:
      return false;
  }
}

// Where the windowing system gives no physical key (synthetic events), a digit still finds its
// key on the top row.
int ScanCodeOf(const KeyStroke& stroke) {
  if (stroke.scan_code != 0) return stroke.scan_code;
  if (stroke.qt_key >= Qt::Key_1 && stroke.qt_key <= Qt::Key_9) return 0x02 + stroke.qt_key - Qt::Key_1;
  if (stroke.qt_key == Qt::Key_0) return 0x0B;
  return 0;
}

bool Matches(const AcceleratorRow& row, const KeyStroke& stroke) {
  if (row.modifiers != stroke.modifiers) return false;
  if (row.scan_code != 0) return row.scan_code == ScanCodeOf(stroke);
  return row.qt_key == stroke.qt_key;
}

std::string NameOfKey(int qt_key) {
  if (qt_key == 0 || qt_key == Qt::Key_unknown) return {};
  return QKeySequence(qt_key).toString(QKeySequence::NativeText).toStdString();
}

std::string ModifierPrefix(unsigned modifiers) {
  std::string prefix;
  if (modifiers & kCtrl) prefix += Translate("KEY_MOD_CTRL") + "+";
  if (modifiers & kShift) prefix += Translate("KEY_MOD_SHIFT") + "+";
  if (modifiers & kAlt) prefix += Translate("KEY_MOD_ALT") + "+";
  return prefix;
}

// The name the layout gives the physical key: what it types, as on the key's label.
std::string NameOfPhysicalKey(const KeyStroke& stroke) {
  QString label = QString::fromStdString(stroke.text).trimmed().toUpper();
  if (!label.isEmpty() && label.at(0).isPrint()) return label.toStdString();
  return NameOfKey(stroke.qt_key);
}

}  // namespace

KeyStroke KeyStrokeFromEvent(const QKeyEvent& event) {
  KeyStroke stroke;
  stroke.qt_key = event.key();
  stroke.scan_code = Set1ScanCode(event.nativeScanCode());
  const Qt::KeyboardModifiers mods = event.modifiers();
  if (mods & Qt::ControlModifier) stroke.modifiers |= kCtrl;
  if (mods & Qt::ShiftModifier) stroke.modifiers |= kShift;
  if (mods & Qt::AltModifier) stroke.modifiers |= kAlt;
  stroke.text = event.text().toStdString();
  return stroke;
}

const AcceleratorRow* FindAccelerator(const KeyStroke& stroke) {
  for (const AcceleratorRow& row : Accelerators()) {
    if (Matches(row, stroke)) return &row;
  }
  return nullptr;
}

const PositionKeyRow* FindPositionKey(const KeyStroke& stroke) {
  if (stroke.modifiers != kNoModifier || stroke.scan_code == 0) return nullptr;
  for (const PositionKeyRow& row : PositionKeys()) {
    if (row.scan_code == stroke.scan_code) return &row;
  }
  return nullptr;
}

std::string DescribeKey(const KeyStroke& stroke) {
  if (IsModifierOrLockKey(stroke.qt_key)) return {};
  const std::string prefix = ModifierPrefix(stroke.modifiers);

  if (const PositionKeyRow* position = FindPositionKey(stroke)) {
    return NameOfPhysicalKey(stroke) + " : " + Translate(position->help_name);
  }
  for (const AcceleratorRow& row : Accelerators()) {
    if (row.help_name && Matches(row, stroke)) {
      const std::string name = row.label ? std::string(row.label) : NameOfKey(row.qt_key);
      return prefix + name + " : " + Translate(row.help_name);
    }
  }
  std::string name = NameOfKey(stroke.qt_key);
  if (name.empty()) name = NameOfPhysicalKey(stroke);
  if (name.empty()) name = "?";
  return prefix + name + " : " + Translate("no action assigned");
}

}  // namespace kestrel
