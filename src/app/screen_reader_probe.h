#pragma once

namespace kestrel {

// Whether the desktop's accessibility bus reports a running screen reader (AT-SPI's
// ScreenReaderEnabled). False when there is no session bus or no answer within a moment.
bool DesktopReportsScreenReader();

}  // namespace kestrel
