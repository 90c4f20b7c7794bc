#include "ui/ui_wait_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <vector>

#include "base/off_ui_thread.h"

namespace kestrel {
namespace {

// The nested loops running now, innermost last (user-interface thread only).
std::vector<QEventLoop*>& RunningLoops() {
  static std::vector<QEventLoop*> loops;
  return loops;
}

void RunNestedLoop(const std::function<bool()>& finished) {
  QEventLoop loop;
  RunningLoops().push_back(&loop);
  while (!finished()) loop.exec();
  RunningLoops().pop_back();
}

void WakeInnermostLoop() {
  QCoreApplication* application = QCoreApplication::instance();
  if (!application) return;
  QMetaObject::invokeMethod(
      application,
      [] {
        // An inner loop that is not finished yet runs again; an outer one that is finished
        // notices when the inner one returns to it.
        if (!RunningLoops().empty()) RunningLoops().back()->quit();
      },
      Qt::QueuedConnection);
}

}  // namespace

void InstallQtUiWaitLoop() { SetUiWaitLoop({RunNestedLoop, WakeInnermostLoop}); }

}  // namespace kestrel
