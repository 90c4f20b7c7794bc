#pragma once

#include <functional>

class QObject;

namespace kestrel {

// SIGTERM (a desktop logout, a service manager) and SIGINT (Ctrl+C in a terminal) call
// on_signal on the user-interface thread, so the player shuts down as Exit would.
void RouteTerminationSignals(QObject* owner, std::function<void()> on_signal);

}  // namespace kestrel
