#include "audio/sync_dispatcher.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kestrel::audio {

namespace {

class SyncThread {
 public:
  SyncThread() : thread_([this] { Run(); }) {}

  void Post(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
  }

  bool IsCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  void Run() {
    for (;;) {
      std::function<void()> task;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !tasks_.empty(); });
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::thread thread_;
};

// Started on first use and kept for the life of the process (never destroyed, so no thread is
// joined during static destruction).
SyncThread& TheSyncThread() {
  static auto* sync_thread = new SyncThread;
  return *sync_thread;
}

}  // namespace

void PostToSyncThread(std::function<void()> task) { TheSyncThread().Post(std::move(task)); }

bool OnSyncThread() { return TheSyncThread().IsCurrent(); }

}  // namespace kestrel::audio
