#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "base/utf8.h"
#include "fake_ssip_server.h"

namespace kestrel::test {
namespace {

void SendAll(int fd, const std::string& text) {
  std::size_t sent = 0;
  while (sent < text.size()) {
    ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

FakeSsipServer::FakeSsipServer(const std::filesystem::path& socket_path, Behaviour behaviour)
    : socket_path_(socket_path), behaviour_(behaviour) {
  listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = socket_path_.string();
  if (listen_fd_ < 0 || path.size() >= sizeof address.sun_path) throw std::runtime_error("socket");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 8) != 0) {
    throw std::runtime_error("bind/listen");
  }
  thread_ = std::thread([this] { Run(); });
}

FakeSsipServer::~FakeSsipServer() {
  stop_ = true;
  thread_.join();
  ::close(listen_fd_);
  std::filesystem::remove(socket_path_);
}

std::vector<std::string> FakeSsipServer::Lines() {
  std::lock_guard lock(mutex_);
  return lines_;
}

void FakeSsipServer::Run() {
  std::vector<Client> clients;
  while (!stop_) {
    std::vector<pollfd> watched{{listen_fd_, POLLIN, 0}};
    for (const Client& client : clients) watched.push_back({client.fd, POLLIN, 0});
    if (::poll(watched.data(), watched.size(), 20) <= 0) continue;
    if (watched[0].revents & POLLIN) {
      int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        clients.push_back(Client{fd});
        ++connections_;
      }
    }
    for (std::size_t i = 1; i < watched.size(); ++i) {
      if (!watched[i].revents) continue;
      Client& client = clients[i - 1];
      char chunk[4096];
      ssize_t n = ::recv(client.fd, chunk, sizeof chunk, 0);
      bool keep = n > 0;
      if (keep) client.buffer.append(chunk, static_cast<std::size_t>(n));
      std::size_t end;
      while (keep && (end = client.buffer.find("\r\n")) != std::string::npos) {
        std::string line = client.buffer.substr(0, end);
        client.buffer.erase(0, end + 2);
        keep = HandleLine(client, line);
      }
      if (!keep) {
        ::close(client.fd);
        client.fd = -1;
      }
    }
    std::erase_if(clients, [](const Client& client) { return client.fd < 0; });
  }
  for (const Client& client : clients) ::close(client.fd);
}

bool FakeSsipServer::HandleLine(Client& client, const std::string& line) {
  {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
  }
  if (behaviour_ == Behaviour::kSilent) return true;
  if (behaviour_ == Behaviour::kSilentAfterClientName &&
      !AsciiLower(line).starts_with("set self client_name ")) {
    return true;
  }
  if (client.in_text) {
    if (line != ".") return true;
    client.in_text = false;
    SendAll(client.fd,
            "225-" + std::to_string(next_message_id_++) + "\r\n225 OK MESSAGE QUEUED\r\n");
    ++client.messages;
    return hang_up_after_ == 0 || client.messages < hang_up_after_;
  }
  std::string command = AsciiLower(line);
  if (command.starts_with("set self client_name ")) {
    SendAll(client.fd, "208 OK CLIENT NAME SET\r\n");
  } else if (command.starts_with("set self priority ")) {
    SendAll(client.fd, "202 OK PRIORITY SET\r\n");
  } else if (command == "speak") {
    client.in_text = true;
    SendAll(client.fd, "230 OK RECEIVING DATA\r\n");
  } else if (command.starts_with("cancel ")) {
    SendAll(client.fd, "213 OK CANCELED\r\n");
  } else if (command == "quit") {
    SendAll(client.fd, "231 HAPPY HACKING\r\n");
    return false;
  } else {
    SendAll(client.fd, "500 ERR INVALID COMMAND\r\n");
  }
  return true;
}

}  // namespace kestrel::test
