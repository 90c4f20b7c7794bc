#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>

// Only the types, enums and the public head of the connection record are used; every function is
// resolved from the library at run time.
#include <speech-dispatcher/libspeechd.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

#include "speech/speech_dispatcher_client.h"

namespace kestrel {
namespace {

struct SpeechdApi {
  decltype(&spd_open2) open2 = nullptr;
  decltype(&spd_say) say = nullptr;
  decltype(&spd_cancel) cancel = nullptr;
  decltype(&spd_close) close = nullptr;
  // Optional: reading the address on the caller's thread keeps the helper thread away from the
  // environment.
  decltype(&spd_get_default_address) default_address = nullptr;
  decltype(&SPDConnectionAddress__free) free_address = nullptr;
};

template <typename Function>
bool Resolve(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(handle, name));
  return function != nullptr;
}

// The library is never unloaded once its functions are in use: an open still running on its
// helper thread may call into it at any time.
std::optional<SpeechdApi> LoadApi(const std::string& library) {
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return std::nullopt;
  SpeechdApi api;
  bool complete = Resolve(handle, "spd_open2", api.open2) && Resolve(handle, "spd_say", api.say) &&
                  Resolve(handle, "spd_cancel", api.cancel) &&
                  Resolve(handle, "spd_close", api.close);
  if (!complete) {
    dlclose(handle);
    return std::nullopt;
  }
  if (!Resolve(handle, "spd_get_default_address", api.default_address) ||
      !Resolve(handle, "SPDConnectionAddress__free", api.free_address)) {
    api.default_address = nullptr;
    api.free_address = nullptr;
  }
  return api;
}

// libspeechd writes to its socket with write(): if the service has gone away that raises SIGPIPE,
// which would end the player. The signal is blocked on this thread for the duration of a call and
// a SIGPIPE raised meanwhile is taken off again, leaving the process's signal setup untouched.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    already_pending_ = IsPending();
  }
  ~SigpipeGuard() {
    if (!already_pending_ && IsPending()) {
      timespec no_wait{0, 0};
      sigtimedwait(&pipe_, nullptr, &no_wait);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  static bool IsPending() {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGPIPE) == 1;
  }
  sigset_t pipe_;
  sigset_t previous_;
  bool already_pending_ = false;
};

void CloseConnection(const SpeechdApi& api, SPDConnection* connection) {
  // After a broken or timed-out read libspeechd has already closed the socket together with its
  // stream; keep spd_close from closing that descriptor number again, since another part of the
  // program may own it by now.
  if (connection->stream == nullptr) connection->socket = -1;
  api.close(connection);
}

// Bounds every later exchange, so a service that stops answering makes the call fail instead of
// freezing the user-interface thread.
void ApplyTimeouts(int socket, std::chrono::milliseconds timeout) {
  timeval limit{};
  limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  limit.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// An open running on its own thread. Connecting (and possibly starting the service) and the
// client-name exchange happen before any timeout can be set on the socket, so they run off the
// user-interface thread; a result that comes too late is taken by a later call, or closed when
// nobody wants it any more.
struct PendingOpen {
  std::mutex mutex;
  std::condition_variable finished_cv;
  bool finished = false;
  bool abandoned = false;
  SPDConnection* connection = nullptr;
};

std::shared_ptr<PendingOpen> StartOpen(const SpeechdApi& api, bool autospawn) {
  auto pending = std::make_shared<PendingOpen>();
  SPDConnectionAddress* address = nullptr;
  if (api.default_address) {
    char* error = nullptr;
    address = api.default_address(&error);
    std::free(error);
    if (!address) {  // SPEECHD_ADDRESS names a method libspeechd does not know
      pending->finished = true;
      return pending;
    }
  }
  std::thread([api, pending, address, autospawn] {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);  // see SigpipeGuard; this thread ends soon

    char* error = nullptr;
    SPDConnection* connection =
        api.open2("kestrel", "main", nullptr, SPD_MODE_SINGLE, address, autospawn, &error);
    std::free(error);
    if (address) api.free_address(address);
    // A connection whose client-name exchange broke is of no use.
    if (connection && connection->stream == nullptr) {
      CloseConnection(api, connection);
      connection = nullptr;
    }
    std::lock_guard lock(pending->mutex);
    if (pending->abandoned) {
      if (connection) CloseConnection(api, connection);
      return;
    }
    pending->connection = connection;
    pending->finished = true;
    pending->finished_cv.notify_all();
  }).detach();
  return pending;
}

}  // namespace

struct SpeechDispatcherClient::Impl {
  SpeechDispatcherOptions options;
  std::optional<SpeechdApi> api;
  SPDConnection* connection = nullptr;
  std::shared_ptr<PendingOpen> pending;
  bool spawn_tried = false;

  // Loaded on first need, and tried again on later calls while it keeps failing.
  const SpeechdApi* Api() {
    if (!api) api = LoadApi(options.library);
    return api ? &*api : nullptr;
  }

  SPDConnection* Connection() {
    if (connection) return connection;
    const SpeechdApi* functions = Api();
    if (!functions) return nullptr;
    bool just_started = false;
    if (!pending) {
      // libspeechd may start the service itself, but only for the default address and at most
      // once per client: an explicit SPEECHD_ADDRESS names a service run by someone else (and
      // keeps tests from ever starting a real one), and a service that will not start should not
      // be retried on every utterance.
      bool autospawn = !spawn_tried && std::getenv("SPEECHD_ADDRESS") == nullptr;
      spawn_tried = spawn_tried || autospawn;
      pending = StartOpen(*functions, autospawn);
      just_started = true;
    }
    std::unique_lock lock(pending->mutex);
    if (just_started) {
      pending->finished_cv.wait_for(lock, options.timeout, [&] { return pending->finished; });
    }
    if (!pending->finished) return nullptr;  // still opening: a later call takes the result
    connection = pending->connection;
    lock.unlock();
    pending.reset();
    if (connection) ApplyTimeouts(connection->socket, options.timeout);
    return connection;
  }

  void Close() {
    if (connection) {
      SigpipeGuard guard;
      CloseConnection(*api, connection);
      connection = nullptr;
    }
    if (pending) {
      std::lock_guard lock(pending->mutex);
      if (pending->finished) {
        if (pending->connection) CloseConnection(*api, pending->connection);
      } else {
        pending->abandoned = true;
      }
    }
    pending.reset();
  }
};

SpeechDispatcherClient::SpeechDispatcherClient(SpeechDispatcherOptions options)
    : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

SpeechDispatcherClient::~SpeechDispatcherClient() { impl_->Close(); }

bool SpeechDispatcherClient::Say(std::string_view text, bool interrupt) {
  SPDConnection* connection = impl_->Connection();
  if (!connection) return false;
  std::string text_z(text);
  int message_id;
  {
    SigpipeGuard guard;
    message_id = impl_->api->say(connection, interrupt ? SPD_TEXT : SPD_MESSAGE, text_z.c_str());
  }
  if (message_id < 0) {
    impl_->Close();
    return false;
  }
  return true;
}

bool SpeechDispatcherClient::Cancel() {
  SPDConnection* connection = impl_->Connection();
  if (!connection) return false;
  int result;
  {
    SigpipeGuard guard;
    result = impl_->api->cancel(connection);
  }
  if (result != 0) {
    impl_->Close();
    return false;
  }
  return true;
}

void SpeechDispatcherClient::Close() { impl_->Close(); }

}  // namespace kestrel
