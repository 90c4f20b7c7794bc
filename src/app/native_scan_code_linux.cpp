#include "app/key_input.h"

namespace kestrel {

// X11 and Wayland report XKB keycodes, which are the kernel's evdev codes plus 8; for the main
// block of the keyboard the evdev codes are the set-1 scan codes.
int Set1ScanCode(unsigned native_scan_code) {
  return native_scan_code > 8 ? static_cast<int>(native_scan_code - 8) : 0;
}

}  // namespace kestrel
