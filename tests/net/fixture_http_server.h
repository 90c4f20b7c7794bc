#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kestrel::test {

struct FixtureRequest {
  std::string target;  // path and query as sent
  std::string head;    // the request line and headers
  // The value of the first header called `name` (any case), or empty.
  std::string Header(std::string_view name) const;
  // Every value of the headers called `name`.
  std::vector<std::string> Headers(std::string_view name) const;
};

// The client side of one connection, as a scripted handler sees it.
class FixtureConnection {
 public:
  explicit FixtureConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
  bool Send(std::string_view bytes);
  // Waits, returning false early when the server is being stopped.
  bool Pause(int milliseconds);

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
};

using FixtureHandler = std::function<void(const FixtureRequest&, FixtureConnection&)>;

// "HTTP/1.1 <status>" with Content-Length, Connection: close, the extra header lines and the body.
std::string HttpResponse(int status, std::string_view body, std::string_view extra_headers = {});

// An HTTP/1.1 server on 127.0.0.1 (a free port) answering each request with the handler
// registered for its exact target; unknown targets get 404. One thread per connection.
class FixtureHttpServer {
 public:
  FixtureHttpServer();
  ~FixtureHttpServer();

  std::uint16_t port() const { return port_; }
  void Handle(const std::string& target, FixtureHandler handler);
  // Answers `target` with a fixed response.
  void Serve(const std::string& target, std::string response);
  std::vector<FixtureRequest> RequestsFor(const std::string& target) const;

 private:
  void AcceptLoop();
  void Answer(int fd);

  int listen_fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, FixtureHandler> handlers_;
  std::vector<FixtureRequest> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace kestrel::test
