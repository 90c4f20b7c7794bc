#pragma once

#include <functional>

// The main window shows what plays in its title and status line. The engine does not know the
// window; the application installs how to refresh both, and the engine calls it whenever what
// plays has changed.
namespace kestrel {

// Installed by the main window (refresh the window title, then the status line); nullptr removes.
void SetPlaybackDisplayRefresh(std::function<void()> refresh);
// Runs the installed refresh; nothing without one. User-interface thread only.
void RefreshPlaybackDisplay();

}  // namespace kestrel
