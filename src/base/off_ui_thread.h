#pragma once

#include <functional>

// Slow work (connecting to an internet stream) runs on a thread of its own while the
// user-interface thread keeps answering keys and messages. The application installs how the
// user-interface thread waits (a nested event loop); without one, the wait simply blocks.
namespace kestrel {

struct UiWaitLoop {
  // Runs on the user-interface thread until `finished()` is true, handling input meanwhile.
  std::function<void(const std::function<bool()>& finished)> run;
  // Any thread: makes a running `run` look at `finished()` again.
  std::function<void()> wake;
};

// Installed by the application; an empty loop restores the blocking wait.
void SetUiWaitLoop(UiWaitLoop loop);

// Runs `work` on a new thread and returns when it has finished. Called on the user-interface
// thread; what the loop handles meanwhile must not assume the caller has returned.
void RunWhileUiAnswers(std::function<void()> work);

}  // namespace kestrel
