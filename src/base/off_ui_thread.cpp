#include "base/off_ui_thread.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace kestrel {
namespace {

UiWaitLoop& InstalledLoop() {
  static UiWaitLoop loop;
  return loop;
}

}  // namespace

void SetUiWaitLoop(UiWaitLoop loop) { InstalledLoop() = std::move(loop); }

void RunWhileUiAnswers(std::function<void()> work) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable done_changed;
    std::atomic<bool> done{false};
  };
  auto shared = std::make_shared<Shared>();
  const UiWaitLoop loop = InstalledLoop();  // a copy: the loop may be replaced while we wait

  std::thread worker([shared, wake = loop.wake, work = std::move(work)] {
    work();
    {
      std::lock_guard<std::mutex> lock(shared->mutex);
      shared->done = true;
    }
    shared->done_changed.notify_all();
    if (wake) wake();
  });

  if (loop.run) {
    loop.run([&shared] { return shared->done.load(); });
  }
  {
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->done_changed.wait(lock, [&shared] { return shared->done.load(); });
  }
  worker.join();
}

}  // namespace kestrel
