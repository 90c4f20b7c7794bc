#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

#include "app/screen_reader_probe.h"

namespace kestrel {

bool DesktopReportsScreenReader() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusInterface properties(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                            QStringLiteral("org.freedesktop.DBus.Properties"), bus);
  // Asked on the user-interface thread at most every few seconds: never wait long.
  properties.setTimeout(300);
  QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), QStringLiteral("org.a11y.Status"),
                                                   QStringLiteral("ScreenReaderEnabled"));
  return reply.isValid() && reply.value().variant().toBool();
}

}  // namespace kestrel
