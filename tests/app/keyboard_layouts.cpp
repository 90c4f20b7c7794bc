#include "app/keyboard_layouts.h"

#include <map>

namespace kestrel::test {
namespace {

struct KeyCaps {
  const char* plain;    // UTF-8
  const char* shifted;
};

using LayoutMap = std::map<int, KeyCaps>;

const LayoutMap& Us() {
  static const LayoutMap map = {
      {0x02, {"1", "!"}}, {0x03, {"2", "@"}}, {0x04, {"3", "#"}}, {0x05, {"4", "$"}},
      {0x06, {"5", "%"}}, {0x07, {"6", "^"}}, {0x08, {"7", "&"}}, {0x09, {"8", "*"}},
      {0x0A, {"9", "("}}, {0x0B, {"0", ")"}}, {0x0C, {"-", "_"}}, {0x0D, {"=", "+"}},
      {0x10, {"q", "Q"}}, {0x11, {"w", "W"}}, {0x12, {"e", "E"}}, {0x13, {"r", "R"}},
      {0x14, {"t", "T"}}, {0x15, {"y", "Y"}}, {0x16, {"u", "U"}}, {0x17, {"i", "I"}},
      {0x18, {"o", "O"}}, {0x19, {"p", "P"}}, {0x1A, {"[", "{"}}, {0x1B, {"]", "}"}},
      {0x1E, {"a", "A"}}, {0x1F, {"s", "S"}}, {0x20, {"d", "D"}}, {0x21, {"f", "F"}},
      {0x22, {"g", "G"}}, {0x23, {"h", "H"}}, {0x24, {"j", "J"}}, {0x25, {"k", "K"}},
      {0x26, {"l", "L"}}, {0x27, {";", ":"}}, {0x2C, {"z", "Z"}}, {0x2D, {"x", "X"}},
      {0x2E, {"c", "C"}}, {0x2F, {"v", "V"}}, {0x30, {"b", "B"}}, {0x31, {"n", "N"}},
      {0x32, {"m", "M"}}, {0x33, {",", "<"}}, {0x34, {".", ">"}}, {0x35, {"/", "?"}},
  };
  return map;
}

const LayoutMap& French() {
  static const LayoutMap map = {
      {0x02, {"&", "1"}}, {0x03, {"é", "2"}}, {0x04, {"\"", "3"}}, {0x05, {"'", "4"}},
      {0x06, {"(", "5"}}, {0x07, {"-", "6"}}, {0x08, {"è", "7"}}, {0x09, {"_", "8"}},
      {0x0A, {"ç", "9"}}, {0x0B, {"à", "0"}}, {0x0C, {")", "°"}}, {0x0D, {"=", "+"}},
      {0x10, {"a", "A"}}, {0x11, {"z", "Z"}}, {0x12, {"e", "E"}}, {0x13, {"r", "R"}},
      {0x14, {"t", "T"}}, {0x15, {"y", "Y"}}, {0x16, {"u", "U"}}, {0x17, {"i", "I"}},
      {0x18, {"o", "O"}}, {0x19, {"p", "P"}}, {0x1A, {"^", "¨"}}, {0x1B, {"$", "£"}},
      {0x1E, {"q", "Q"}}, {0x1F, {"s", "S"}}, {0x20, {"d", "D"}}, {0x21, {"f", "F"}},
      {0x22, {"g", "G"}}, {0x23, {"h", "H"}}, {0x24, {"j", "J"}}, {0x25, {"k", "K"}},
      {0x26, {"l", "L"}}, {0x27, {"m", "M"}}, {0x2C, {"w", "W"}}, {0x2D, {"x", "X"}},
      {0x2E, {"c", "C"}}, {0x2F, {"v", "V"}}, {0x30, {"b", "B"}}, {0x31, {"n", "N"}},
      {0x32, {",", "?"}}, {0x33, {";", "."}}, {0x34, {":", "/"}}, {0x35, {"!", "§"}},
  };
  return map;
}

const LayoutMap& MapOf(Layout layout) { return layout == Layout::kUsQwerty ? Us() : French(); }

// Named keys sit at the same place on every layout (evdev codes).
const std::map<int, int>& NamedKeyScanCodes() {
  static const std::map<int, int> map = {
      {Qt::Key_F1, 59},    {Qt::Key_F10, 68},    {Qt::Key_F11, 87},   {Qt::Key_F12, 88},  {Qt::Key_Space, 57},
      {Qt::Key_Backspace, 14}, {Qt::Key_Home, 102}, {Qt::Key_Up, 103}, {Qt::Key_Left, 105},
      {Qt::Key_Right, 106}, {Qt::Key_End, 107},  {Qt::Key_Down, 108}, {Qt::Key_Escape, 1},
      {Qt::Key_Shift, 42}, {Qt::Key_Control, 29}, {Qt::Key_Alt, 56},
  };
  return map;
}

Qt::KeyboardModifiers QtModifiers(unsigned modifiers) {
  Qt::KeyboardModifiers result;
  if (modifiers & kCtrl) result |= Qt::ControlModifier;
  if (modifiers & kShift) result |= Qt::ShiftModifier;
  if (modifiers & kAlt) result |= Qt::AltModifier;
  return result;
}

int QtKeyOfText(const QString& text) {
  if (text == QStringLiteral("^")) return Qt::Key_Dead_Circumflex;  // a dead key on AZERTY
  return text.isEmpty() ? 0 : static_cast<int>(text.at(0).toUpper().unicode());
}

std::unique_ptr<QKeyEvent> MakeEvent(int qt_key, int scan_code, unsigned modifiers, QString text) {
  // With Ctrl or Alt held the layout types no printable text.
  if (modifiers & (kCtrl | kAlt)) text.clear();
  return std::make_unique<QKeyEvent>(QEvent::KeyPress, qt_key, QtModifiers(modifiers),
                                     static_cast<quint32>(scan_code + 8), 0u, 0u, text);
}

}  // namespace

const char* LayoutName(Layout layout) { return layout == Layout::kUsQwerty ? "US" : "French AZERTY"; }

std::unique_ptr<QKeyEvent> PhysicalKeyPress(Layout layout, int scan_code, unsigned modifiers) {
  const LayoutMap& map = MapOf(layout);
  auto it = map.find(scan_code);
  if (it == map.end()) return nullptr;
  const QString text = QString::fromUtf8((modifiers & kShift) ? it->second.shifted : it->second.plain);
  return MakeEvent(QtKeyOfText(text), scan_code, modifiers, text);
}

std::unique_ptr<QKeyEvent> KeyPressFor(Layout layout, int qt_key, unsigned modifiers) {
  if (auto named = NamedKeyScanCodes().find(qt_key); named != NamedKeyScanCodes().end()) {
    return MakeEvent(qt_key, named->second, modifiers, qt_key == Qt::Key_Space ? QStringLiteral(" ") : QString());
  }
  for (const auto& [scan, caps] : MapOf(layout)) {
    if (QtKeyOfText(QString::fromUtf8(caps.plain)) == qt_key) return PhysicalKeyPress(layout, scan, modifiers);
  }
  return nullptr;
}

}  // namespace kestrel::test
