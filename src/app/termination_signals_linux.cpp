#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QObject>
#include <QSocketNotifier>
#include <cerrno>

#include "app/termination_signals.h"

namespace kestrel {
namespace {

int g_signal_pipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte down the pipe, read by the event loop.
void OnSignal(int signal_number) {
  const int saved_errno = errno;
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] ssize_t written = ::write(g_signal_pipe[0], &byte, 1);
  errno = saved_errno;
}

}  // namespace

void RouteTerminationSignals(QObject* owner, std::function<void()> on_signal) {
  if (g_signal_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signal_pipe[1], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [on_signal = std::move(on_signal)] {
    char byte;
    if (::read(g_signal_pipe[1], &byte, 1) == 1) on_signal();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace kestrel
