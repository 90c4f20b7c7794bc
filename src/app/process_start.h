#pragma once

namespace kestrel {

// The whole life of the process: start, hand-over or window, event loop, shutdown. Returns the
// exit code: 0 after a hand-over or a normal end, 1 when the window could not be created.
int RunKestrel(int argc, char** argv);

}  // namespace kestrel
