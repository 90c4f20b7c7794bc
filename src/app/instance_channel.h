#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/hand_over_frame.h"

class QLocalServer;

// One player per user: the first start listens on a local socket of the user's runtime folder;
// a later start hands its command line to it over that socket and ends.
namespace kestrel {

QString InstanceServerName();

enum class HandOverResult {
  kHandedOver,  // a player took every frame
  kNoPlayer,    // nobody listens (no socket, or one left behind by a player that ended)
  kNoAnswer,    // a socket exists but its player does not answer in time
};

// Sends each path (code 1 for the first, 2 for the others), or code 3 when there is none, and
// waits for each to be acknowledged, as a synchronous message would.
HandOverResult HandOverToRunningPlayer(const std::vector<std::string>& paths, int timeout_ms = 5000);

class InstanceServer : public QObject {
 public:
  using FrameHandler = std::function<void(const HandOverFrame&)>;

  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;

  // Becomes the listening player. A socket left behind by a player that ended is replaced; a
  // live one is left alone and false returned (this process is then a further player).
  bool Listen();
  bool IsListening() const;

  // Frames are handled on the user-interface thread, in arrival order, once a handler is set.
  void SetFrameHandler(FrameHandler handler);

 private:
  void AcceptConnections();

  QLocalServer* server_;
  FrameHandler handler_;
};

}  // namespace kestrel
