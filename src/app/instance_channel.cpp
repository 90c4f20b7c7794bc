#include "app/instance_channel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <memory>

#include "base/app_paths.h"
#include "diag/logger.h"

namespace kestrel {
namespace {

bool IsNobodyListening(QLocalSocket::LocalSocketError error) {
  return error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError;
}

bool SendFrame(QLocalSocket& socket, const HandOverFrame& frame, int timeout_ms) {
  const std::string bytes = EncodeHandOverFrame(frame);
  socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(timeout_ms)) return false;
  }
  char ack = 0;
  return socket.read(&ack, 1) == 1 && ack == kHandOverAck;
}

// One connected sender: its bytes are gathered into frames and each frame is answered.
class Connection : public QObject {
 public:
  Connection(QLocalSocket* socket, const InstanceServer::FrameHandler* handler)
      : QObject(socket), socket_(socket), handler_(handler) {
    connect(socket, &QLocalSocket::readyRead, this, &Connection::Read);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  }

  void Read() {
    const QByteArray bytes = socket_->readAll();
    reader_.Append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    HandOverFrame frame;
    for (;;) {
      switch (reader_.Next(frame)) {
        case HandOverFrameReader::Status::kNeedMore:
          return;
        case HandOverFrameReader::Status::kInvalid:
          LogText("INSTANCE", "malformed hand-over from another process, connection dropped");
          socket_->abort();
          return;
        case HandOverFrameReader::Status::kFrame:
          if (*handler_) (*handler_)(frame);
          socket_->write(&kHandOverAck, 1);
          socket_->flush();
          break;
      }
    }
  }

 private:
  QLocalSocket* socket_;
  const InstanceServer::FrameHandler* handler_;
  HandOverFrameReader reader_;
};

}  // namespace

QString InstanceServerName() {
  const auto path = UserBaseFolder(UserFolder::Runtime) / "KestrelSingleInstance";
  return QString::fromStdString(path.string());
}

HandOverResult HandOverToRunningPlayer(const std::vector<std::string>& paths, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(InstanceServerName());
  if (!socket.waitForConnected(timeout_ms)) {
    return IsNobodyListening(socket.error()) ? HandOverResult::kNoPlayer : HandOverResult::kNoAnswer;
  }
  if (paths.empty()) {
    if (!SendFrame(socket, {kHandOverToFront, {}}, timeout_ms)) return HandOverResult::kNoAnswer;
  }
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const int code = i == 0 ? kHandOverFirstPath : kHandOverFurtherPath;
    if (!SendFrame(socket, {code, paths[i]}, timeout_ms)) return HandOverResult::kNoAnswer;
  }
  socket.disconnectFromServer();
  return HandOverResult::kHandedOver;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  // No socket options: with them Qt binds elsewhere and renames the socket into place, which
  // would silently replace a live player's socket. The runtime folder is private to the user.
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::AcceptConnections);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen() {
  const QString name = InstanceServerName();
  if (server_->listen(name)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) {
    LogFormat("INSTANCE", "cannot listen on %s: %s", name.toUtf8().constData(),
              server_->errorString().toUtf8().constData());
    return false;
  }
  // The name is taken: by a live player (then stay a further player) or by the socket file of
  // one that ended without removing it (then take the name over).
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(1000) || !IsNobodyListening(probe.error())) return false;
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

bool InstanceServer::IsListening() const { return server_->isListening(); }

void InstanceServer::SetFrameHandler(FrameHandler handler) { handler_ = std::move(handler); }

void InstanceServer::AcceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto* connection = new Connection(socket, &handler_);
    if (socket->bytesAvailable() > 0) connection->Read();
  }
}

}  // namespace kestrel
