#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

// A client of speech-dispatcher, the speech service that Linux screen readers speak through.
// libspeechd is loaded at run time, so the player runs where it is missing (every call then
// fails). The service's address comes from SPEECHD_ADDRESS or libspeechd's default socket.
namespace kestrel {

inline constexpr const char* kLibspeechdName = "libspeechd.so.2";

struct SpeechDispatcherOptions {
  std::string library = kLibspeechdName;
  // How long one exchange with the service may take before the call fails.
  std::chrono::milliseconds timeout{2000};
};

class SpeechDispatcherClient {
 public:
  explicit SpeechDispatcherClient(SpeechDispatcherOptions options = {});
  ~SpeechDispatcherClient();
  SpeechDispatcherClient(const SpeechDispatcherClient&) = delete;
  SpeechDispatcherClient& operator=(const SpeechDispatcherClient&) = delete;

  // Queues the text. Interrupting speech uses the service's "text" priority, which cuts into
  // current text speech; otherwise "message", which waits its turn. The connection is opened on
  // first use; a failed call closes it so the next call reconnects.
  bool Say(std::string_view text, bool interrupt);
  // Cancels this client's own queued and current messages.
  bool Cancel();
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel
