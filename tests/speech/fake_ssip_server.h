#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::test {

// A stand-in for speech-dispatcher on a Unix socket: it records every line a client sends and
// answers as the service does (208 for the client name, 202 for a priority, 230 to SPEAK, then
// "225-<id>" and "225 OK MESSAGE QUEUED" after the lone "." ending the text, 213 to CANCEL).
// Point libspeechd at it with SPEECHD_ADDRESS=address().
class FakeSsipServer {
 public:
  enum class Behaviour {
    kAnswer,
    kSilent,                 // accepts and reads but never answers
    kSilentAfterClientName,  // answers the client name, then nothing more
  };

  FakeSsipServer(const std::filesystem::path& socket_path,
                 Behaviour behaviour = Behaviour::kAnswer);
  ~FakeSsipServer();
  FakeSsipServer(const FakeSsipServer&) = delete;
  FakeSsipServer& operator=(const FakeSsipServer&) = delete;

  std::string address() const { return "unix_socket:" + socket_path_.string(); }

  // Every line received so far over all connections, in order, without "\r\n".
  std::vector<std::string> Lines();
  int Connections() const { return connections_.load(); }
  // Ends each connection right after answering its n-th text, as a service that quits would.
  void HangUpAfterMessages(int messages) { hang_up_after_ = messages; }

 private:
  struct Client {
    int fd = -1;
    std::string buffer;
    bool in_text = false;
    int messages = 0;
  };

  void Run();
  // False when the connection is to be closed.
  bool HandleLine(Client& client, const std::string& line);

  std::filesystem::path socket_path_;
  Behaviour behaviour_;
  int listen_fd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<int> hang_up_after_{0};
  int next_message_id_ = 1;
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

}  // namespace kestrel::test
