#pragma once

#include <QKeyEvent>
#include <QString>
#include <memory>

#include "app/key_tables.h"

namespace kestrel::test {

// What a keyboard layout types on each physical key, enough to build the key events the
// windowing system would deliver.
enum class Layout { kUsQwerty, kFrenchAzerty };

const char* LayoutName(Layout layout);

// A key press as X11 would report it: Qt key and text from the layout, the XKB keycode of the
// physical key (set-1 scan code + 8) as the native scan code.
std::unique_ptr<QKeyEvent> PhysicalKeyPress(Layout layout, int scan_code, unsigned modifiers);

// The press of a named key (F1, arrows, Home, Space...) or of the key that types `key` in the
// layout (letters, comma), with modifiers. Returns nullptr when the layout has no such key.
std::unique_ptr<QKeyEvent> KeyPressFor(Layout layout, int qt_key, unsigned modifiers);

}  // namespace kestrel::test
