#pragma once

#include <span>

// The key bindings of the main window as data: the accelerator table (with the keyboard-help
// name of each key), the position keys and the action table offered to global hotkeys.
namespace kestrel {

enum KeyModifier : unsigned { kNoModifier = 0, kCtrl = 1, kShift = 2, kAlt = 4 };

// An accelerator is matched either by the key the layout produces (letters, named keys, comma)
// or, for the top row of digits, minus and equals, by the physical key, so that a French AZERTY
// keyboard (where those keys type &, é, ", ...) gives the same commands as a US one.
struct AcceleratorRow {
  int qt_key;           // Qt::Key when matched by key; 0 when matched by position
  int scan_code;        // set-1 scan code when matched by position; 0 otherwise
  unsigned modifiers;   // exactly these of Ctrl, Shift, Alt must be held
  int command;
  const char* label;    // the key's name where it is matched by position ("1", "-")
  const char* help_name;  // spoken in keyboard-help mode; nullptr for F12, which is never described
};

// Plain keys (no Ctrl, Alt or Shift) matched by their physical position.
struct PositionKeyRow {
  int scan_code;
  int command;
  const char* help_name;
};

struct ActionRow {
  int command;
  const char* name;
};

std::span<const AcceleratorRow> Accelerators();
std::span<const PositionKeyRow> PositionKeys();

// The actions a global hotkey can run; hotkeys store the index, so rows keep their positions.
std::span<const ActionRow> Actions();
int ActionCount();
// Command id of an action, or 0 for an index outside the table.
int ActionCommand(int index);
const char* ActionName(int index);

}  // namespace kestrel
