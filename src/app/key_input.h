#pragma once

#include <string>

#include "app/key_tables.h"

class QKeyEvent;

// A key press as the main window sees it, and what the bindings make of it.
namespace kestrel {

struct KeyStroke {
  int qt_key = 0;
  int scan_code = 0;        // set-1 scan code of the physical key; 0 when unknown
  unsigned modifiers = 0;   // KeyModifier flags: Ctrl, Shift, Alt
  std::string text;         // what the keyboard layout types for it
};

KeyStroke KeyStrokeFromEvent(const QKeyEvent& event);

// The physical key of a native scan code reported by the windowing system, as a set-1 scan code.
int Set1ScanCode(unsigned native_scan_code);

const AcceleratorRow* FindAccelerator(const KeyStroke& stroke);
// Only plain keys: any of Ctrl, Shift or Alt held disables the position keys.
const PositionKeyRow* FindPositionKey(const KeyStroke& stroke);

// Keyboard help: what the key would do, e.g. "Ctrl+O : Open file"; empty for the modifier and
// lock keys themselves, which are never described.
std::string DescribeKey(const KeyStroke& stroke);

}  // namespace kestrel
