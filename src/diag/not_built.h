#pragma once

#include <string_view>

namespace kestrel {

// Logs once per process that a part of the player is not built yet ("[PENDING] what: not built
// yet"), so a step that runs every few milliseconds does not flood the log. Any thread.
void LogNotBuiltOnce(std::string_view what);

}  // namespace kestrel
