#include "net/fixture_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "base/utf8.h"

namespace kestrel::test {

std::vector<std::string> FixtureRequest::Headers(std::string_view name) const {
  std::vector<std::string> values;
  std::string_view rest(head);
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    const std::string_view line = rest.substr(0, end);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoreAsciiCase(line.substr(0, colon), name)) {
      std::string_view value = line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      values.emplace_back(value);
    }
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
  }
  return values;
}

std::string FixtureRequest::Header(std::string_view name) const {
  const auto values = Headers(name);
  return values.empty() ? std::string() : values.front();
}

bool FixtureConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool FixtureConnection::Pause(int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    if (stopping_) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !stopping_;
}

std::string HttpResponse(int status, std::string_view body, std::string_view extra_headers) {
  std::string response = "HTTP/1.1 " + std::to_string(status) + " Fixture\r\n";
  response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  response += "Connection: close\r\n";
  response += extra_headers;
  response += "\r\n";
  response += body;
  return response;
}

FixtureHttpServer::FixtureHttpServer() {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 || ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listen_fd_, 64) != 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("fixture server cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

FixtureHttpServer::~FixtureHttpServer() {
  stopping_ = true;
  ::shutdown(listen_fd_, SHUT_RDWR);
  acceptor_.join();
  ::close(listen_fd_);
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (std::thread& connection : connections) connection.join();
}

void FixtureHttpServer::Handle(const std::string& target, FixtureHandler handler) {
  std::lock_guard lock(mutex_);
  handlers_[target] = std::move(handler);
}

void FixtureHttpServer::Serve(const std::string& target, std::string response) {
  Handle(target, [response](const FixtureRequest&, FixtureConnection& connection) {
    connection.Send(response);
  });
}

std::vector<FixtureRequest> FixtureHttpServer::RequestsFor(const std::string& target) const {
  std::lock_guard lock(mutex_);
  std::vector<FixtureRequest> found;
  for (const FixtureRequest& request : requests_) {
    if (request.target == target) found.push_back(request);
  }
  return found;
}

void FixtureHttpServer::AcceptLoop() {
  while (!stopping_) {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (stopping_) return;
      continue;
    }
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] {
      Answer(fd);
      ::close(fd);
    });
  }
}

void FixtureHttpServer::Answer(int fd) {
  timeval timeout{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
    if (received <= 0) return;
    head.append(buffer, static_cast<std::size_t>(received));
  }
  FixtureRequest request;
  request.head = head.substr(0, head.find("\r\n\r\n"));
  const std::size_t target_start = request.head.find(' ') + 1;
  request.target = request.head.substr(target_start, request.head.find(' ', target_start) - target_start);
  FixtureHandler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    const auto found = handlers_.find(request.target);
    if (found != handlers_.end()) handler = found->second;
  }
  FixtureConnection connection(fd, stopping_);
  if (handler) {
    handler(request, connection);
  } else {
    connection.Send(HttpResponse(404, "<html>not found</html>"));
  }
  ::shutdown(fd, SHUT_WR);
}

}  // namespace kestrel::test
