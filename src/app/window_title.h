#pragma once

#include <string>

// The main window's title names what plays: "Kestrel - Artist - Title", or the file name when the
// item has no title, or "Kestrel" alone when [Playback] ShowTitleInWindow is off or nothing is
// current. User-interface thread only.
namespace kestrel {

// The title for what plays now.
std::string CurrentWindowTitle();

// Sets the main window's title (and the name a screen reader reads for it); nothing without a
// main window.
void RefreshWindowTitle();

}  // namespace kestrel
