#pragma once

// Reads the accessibility tree the way a screen reader does: over the AT-SPI bus, from outside
// the program, with plain D-Bus calls.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QString>
#include <bitset>
#include <optional>
#include <vector>

namespace kestrel::test {

// AT-SPI role numbers (AtspiRole in at-spi2-core).
constexpr unsigned kRoleDialog = 16;
constexpr unsigned kRoleLabel = 29;
constexpr unsigned kRoleList = 31;
constexpr unsigned kRoleListItem = 32;
constexpr unsigned kRolePushButton = 43;
constexpr unsigned kRoleApplication = 75;

// AT-SPI state numbers (AtspiStateType), bit positions in the state set.
constexpr std::size_t kStateFocused = 12;
constexpr std::size_t kStateSelectable = 22;
constexpr std::size_t kStateSelected = 23;
constexpr std::size_t kStateShowing = 25;

// One object on the bus: the connection that owns it and its object path.
struct AccessibleRef {
  QString service;
  QString path;
};

// One object as read: what a screen reader would announce, and what is below it.
struct AccessibleNode {
  unsigned role = 0;
  QString name;
  std::bitset<64> states;
  std::vector<AccessibleNode> children;
};

class AtspiClient {
 public:
  explicit AtspiClient(QDBusConnection bus) : bus_(std::move(bus)) {}

  // The desktop the registry keeps: every registered application is one of its children.
  static AccessibleRef Desktop() {
    return {QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/accessible/root")};
  }

  std::optional<std::vector<AccessibleRef>> Children(const AccessibleRef& object) const {
    const QDBusMessage reply = Call(object, QStringLiteral("GetChildren"));
    if (!IsReplyWith(reply, "a(so)")) return std::nullopt;
    std::vector<AccessibleRef> children;
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
      QString service;
      QDBusObjectPath path;
      list.beginStructure();
      list >> service >> path;
      list.endStructure();
      children.push_back({service, path.path()});
    }
    list.endArray();
    return children;
  }

  std::optional<unsigned> Role(const AccessibleRef& object) const {
    const QDBusMessage reply = Call(object, QStringLiteral("GetRole"));
    if (!IsReplyWith(reply, "u")) return std::nullopt;
    return reply.arguments().at(0).toUInt();
  }

  std::optional<QString> Name(const AccessibleRef& object) const {
    QDBusMessage call = QDBusMessage::createMethodCall(object.service, object.path,
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << QStringLiteral("org.a11y.atspi.Accessible") << QStringLiteral("Name");
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    if (!IsReplyWith(reply, "v")) return std::nullopt;
    return reply.arguments().at(0).value<QDBusVariant>().variant().toString();
  }

  // The state set: two 32-bit words, bit n of the set is state n.
  std::optional<std::bitset<64>> States(const AccessibleRef& object) const {
    const QDBusMessage reply = Call(object, QStringLiteral("GetState"));
    if (!IsReplyWith(reply, "au")) return std::nullopt;
    const QDBusArgument words = reply.arguments().at(0).value<QDBusArgument>();
    std::bitset<64> states;
    std::size_t word_index = 0;
    words.beginArray();
    while (!words.atEnd()) {
      uint word = 0;
      words >> word;
      for (std::size_t bit = 0; bit < 32 && word_index < 2; ++bit) {
        if (word & (1u << bit)) states.set(word_index * 32 + bit);
      }
      ++word_index;
    }
    words.endArray();
    return states;
  }

  // The object and everything below it, `depth` levels down; nothing when any call fails (the
  // object went away while it was read).
  std::optional<AccessibleNode> Read(const AccessibleRef& object, int depth) const {
    const auto role = Role(object);
    const auto name = Name(object);
    const auto states = States(object);
    if (!role || !name || !states) return std::nullopt;
    AccessibleNode node{*role, *name, *states, {}};
    if (depth > 0) {
      const auto children = Children(object);
      if (!children) return std::nullopt;
      for (const AccessibleRef& child : *children) {
        auto read = Read(child, depth - 1);
        if (!read) return std::nullopt;
        node.children.push_back(std::move(*read));
      }
    }
    return node;
  }

  // The first child of `parent` with this role and name.
  std::optional<AccessibleRef> FindChild(const AccessibleRef& parent, unsigned role, const QString& name) const {
    const auto children = Children(parent);
    if (!children) return std::nullopt;
    for (const AccessibleRef& child : *children) {
      if (Role(child) == role && Name(child) == name) return child;
    }
    return std::nullopt;
  }

 private:
  static constexpr int kCallTimeoutMs = 5000;

  QDBusMessage Call(const AccessibleRef& object, const QString& method) const {
    return bus_.call(QDBusMessage::createMethodCall(object.service, object.path,
                                                    QStringLiteral("org.a11y.atspi.Accessible"), method),
                     QDBus::Block, kCallTimeoutMs);
  }

  static bool IsReplyWith(const QDBusMessage& reply, const char* signature) {
    return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String(signature) &&
           reply.arguments().size() == 1;
  }

  QDBusConnection bus_;
};

}  // namespace kestrel::test
