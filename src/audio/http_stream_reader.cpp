#include "audio/http_stream_reader.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <string_view>
#include <vector>

#include "audio/audio_error.h"
#include "base/utf8.h"
#include "net/transfer.h"

namespace kestrel::audio {
namespace {

using Clock = std::chrono::steady_clock;

// How often waits look at an outside cancel flag, and the download loop at its time-out.
constexpr auto kWakeInterval = std::chrono::milliseconds(20);
// The live buffer never holds less than this, whatever the bitrate.
constexpr std::size_t kMinBufferBytes = 64 * 1024;
constexpr double kDefaultKbps = 128;
// Reads hand over at most this much at once: a decoder that asks for large blocks (FFmpeg asks
// for 64 KiB) would otherwise take the whole network buffer into its own, and the buffer's fill
// would no longer say how much is ready.
constexpr std::int64_t kLargestRead = 8 * 1024;
// A live body drops what has been read once this much has gathered before the read position.
constexpr std::int64_t kCompactBytes = 64 * 1024;

// Shoutcast answers "ICY 200 OK" instead of an HTTP status line; libcurl takes it for
// "HTTP/1.0 200" only when it is listed as an alias of 200 (CURLOPT_HTTP200ALIASES).
constexpr const char* kIcyStatusLine = "ICY 200 OK";

struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The value of header `name` in a NUL-separated block, or empty.
std::string HeaderValue(std::string_view block, std::string_view name) {
  while (!block.empty()) {
    const std::size_t end = block.find('\0');
    const std::string_view line = block.substr(0, end);
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoreAsciiCase(Trim(line.substr(0, colon)), name)) {
      return std::string(Trim(line.substr(colon + 1)));
    }
    if (end == std::string_view::npos) break;
    block.remove_prefix(end + 1);
  }
  return {};
}

long long ParseNumber(std::string_view text) {
  long long value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() ? value : 0;
}

int ErrorFor(CURLcode code, long os_errno) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return kErrorTimeout;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
      return kErrorSsl;
    case CURLE_COULDNT_CONNECT:
      // "Network is unreachable": the machine has no route anywhere, so no network at all.
      return os_errno == ENETUNREACH ? kErrorNoNet : kErrorFileOpen;
    case CURLE_OUT_OF_MEMORY:
      return kErrorMemory;
    default:
      return kErrorFileOpen;
  }
}

}  // namespace

struct HttpStreamReader::Transfer {
  net_internal::Easy easy;
  std::unique_ptr<CURLM, MultiDeleter> multi;
  net_internal::HeaderList headers;
  curl_slist* aliases = nullptr;
  // When bytes last arrived (headers count), read by the download loop for its time-out.
  std::atomic<Clock::rep> last_data{Clock::now().time_since_epoch().count()};
  void Touch() { last_data = Clock::now().time_since_epoch().count(); }
  Clock::duration Silence() const {
    return Clock::now().time_since_epoch() - Clock::duration(last_data.load());
  }
  ~Transfer() {
    if (multi && easy) curl_multi_remove_handle(multi.get(), easy.get());
    curl_slist_free_all(aliases);
  }
};

HttpStreamReader::HttpStreamReader(const HttpStreamSettings& settings) : settings_(settings) {}

std::unique_ptr<HttpStreamReader> HttpStreamReader::Open(const std::string& url,
                                                         const HttpStreamSettings& settings,
                                                         int* error) {
  std::unique_ptr<HttpStreamReader> reader(new HttpStreamReader(settings));
  if (!reader->Start(url)) {
    *error = kErrorFileOpen;
    return nullptr;
  }
  std::unique_lock lock(reader->mutex_);
  while (!reader->started_ && !reader->Cancelled()) reader->WaitBriefly(lock, reader->data_arrived_);
  if (reader->Cancelled()) {
    *error = kErrorCancelled;
    lock.unlock();
    return nullptr;  // the destructor ends the transfer
  }
  // A body that began is handed over even when the transfer has failed since: what arrived plays.
  if (reader->finished_ && reader->failure_ != 0 && reader->received_ == 0) {
    *error = reader->failure_;
    lock.unlock();
    return nullptr;
  }
  *error = kOk;
  return reader;
}

bool HttpStreamReader::Start(const std::string& url) {
  transfer_ = std::make_unique<Transfer>();
  transfer_->easy = net_internal::NewTransfer(url, net_internal::Redirects::kFollowAny,
                                              CurrentTransferLimits());
  transfer_->multi.reset(curl_multi_init());
  if (!transfer_->easy || !transfer_->multi) return false;
  CURL* easy = transfer_->easy.get();
  if (!settings_.user_agent.empty()) {
    curl_easy_setopt(easy, CURLOPT_USERAGENT, settings_.user_agent.c_str());
  }
  transfer_->headers = net_internal::MakeHeaderList({"Icy-MetaData: 1"});
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer_->headers.get());
  transfer_->aliases = curl_slist_append(nullptr, kIcyStatusLine);
  curl_easy_setopt(easy, CURLOPT_HTTP200ALIASES, transfer_->aliases);
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings_.timeout_ms));
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpStreamReader::OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpStreamReader::OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  if (curl_multi_add_handle(transfer_->multi.get(), easy) != CURLM_OK) return false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

HttpStreamReader::~HttpStreamReader() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void HttpStreamReader::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancel_ = true;
  }
  data_arrived_.notify_all();
  space_freed_.notify_all();
  if (transfer_ && transfer_->multi) curl_multi_wakeup(transfer_->multi.get());
}

bool HttpStreamReader::Cancelled() const {
  return cancel_.load() || (settings_.cancel && settings_.cancel->load()) ||
         (settings_.owner_stop && settings_.owner_stop->load());
}

void HttpStreamReader::WaitBriefly(std::unique_lock<std::mutex>& lock,
                                   std::condition_variable& wake) {
  wake.wait_for(lock, kWakeInterval);
}

void HttpStreamReader::Run() {
  CURLM* multi = transfer_->multi.get();
  const auto timeout = std::chrono::milliseconds(settings_.timeout_ms);
  int failure = 0;
  CURLcode code = CURLE_OK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      failure = kErrorFileOpen;
      break;
    }
    if (running == 0) {
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE) code = message->data.result;
      }
      if (code != CURLE_OK) {
        long os_errno = 0;
        curl_easy_getinfo(transfer_->easy.get(), CURLINFO_OS_ERRNO, &os_errno);
        failure = ErrorFor(code, os_errno);
      }
      break;
    }
    if (Cancelled()) {
      failure = kErrorCancelled;
      break;
    }
    if (transfer_->Silence() > timeout) {
      failure = kErrorTimeout;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(kWakeInterval.count()), nullptr);
  }

  bool complete = false;
  {
    std::lock_guard lock(mutex_);
    if (!started_) TakeHeadersLocked();
    // A body cut short of its announced length is a failure even when the server closed cleanly.
    if (failure == 0 && content_length_ >= 0 && received_ < content_length_ && metaint_ == 0) {
      failure = kErrorFileOpen;
    }
    finished_ = true;
    failure_ = failure;
    complete_ = failure == 0 && content_length_ >= 0;
    complete = complete_;
  }
  data_arrived_.notify_all();
  if (complete) Notify(SyncType::kDownloadComplete);
}

std::size_t HttpStreamReader::OnHeader(char* data, std::size_t size, std::size_t count,
                                       void* opaque) {
  auto* self = static_cast<HttpStreamReader*>(opaque);
  const std::string_view line(data, size * count);
  std::lock_guard lock(self->mutex_);
  self->transfer_->Touch();
  // Each response of a redirect chain starts afresh; only the last one's headers are kept.
  if (line.starts_with("HTTP/") || line.starts_with("ICY ")) self->pending_headers_.clear();
  const std::string_view trimmed = Trim(line);
  if (!trimmed.empty()) {
    self->pending_headers_.append(trimmed);
    self->pending_headers_.push_back('\0');
  }
  return size * count;
}

void HttpStreamReader::TakeHeadersLocked() {
  started_ = true;
  CURL* easy = transfer_->easy.get();
  header_block_ = pending_headers_;
  header_block_.push_back('\0');
  icy_response_ = header_block_.starts_with("ICY ");
  content_type_ = AsciiLower(HeaderValue(header_block_, "Content-Type"));
  icy_bitrate_kbps_ = static_cast<int>(ParseNumber(HeaderValue(header_block_, "icy-br")));
  const long long metaint = ParseNumber(HeaderValue(header_block_, "icy-metaint"));
  metaint_ = metaint > 0 ? static_cast<std::size_t>(metaint) : 0;
  demuxer_ = std::make_unique<IcyDemuxer>(metaint_);
  curl_off_t length = -1;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  const bool announced = length >= 0 && HeaderValue(header_block_, "Content-Length") != "";
  content_length_ = announced && !icy_response_ && metaint_ == 0 ? length : -1;
  char* url = nullptr;
  curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
  if (url) effective_url_ = url;
  keep_whole_ = content_length_ >= 0 && !settings_.small_blocks;
}

std::size_t HttpStreamReader::OnBody(char* data, std::size_t size, std::size_t count,
                                     void* opaque) {
  auto* self = static_cast<HttpStreamReader*>(opaque);
  const std::size_t length = size * count;
  std::string audio;
  std::vector<std::string> blocks;
  std::vector<SyncType> events;
  {
    std::unique_lock lock(self->mutex_);
    if (!self->started_) {
      self->TakeHeadersLocked();
      self->data_arrived_.notify_all();
    }
    // A live body waits for the reader while the buffer is full.
    if (!self->keep_whole_) {
      while (self->UnreadLocked() >= static_cast<std::int64_t>(self->CapacityLocked()) &&
             !self->Cancelled()) {
        self->WaitBriefly(lock, self->space_freed_);
      }
    }
    if (self->Cancelled()) return 0;  // ends the transfer
    self->transfer_->Touch();
    self->demuxer_->Feed(std::string_view(data, length), &audio, &blocks);
    self->data_.append(audio);
    self->received_ += static_cast<std::int64_t>(audio.size());
    for (std::string& block : blocks) {
      if (self->meta_ != block) events.push_back(SyncType::kMeta);
      self->meta_ = std::move(block);
    }
  }
  self->data_arrived_.notify_all();
  for (SyncType type : events) self->Notify(type);
  return length;
}

void HttpStreamReader::Notify(SyncType type) {
  std::function<void(SyncType)> handler;
  {
    std::lock_guard lock(mutex_);
    handler = handler_;
  }
  if (handler) handler(type);
}

void HttpStreamReader::SetEventHandler(std::function<void(SyncType)> handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

std::size_t HttpStreamReader::CapacityLocked() const {
  double kbps = icy_bitrate_kbps_ > 0 ? icy_bitrate_kbps_ : codec_kbps_;
  if (kbps <= 0) kbps = kDefaultKbps;
  const double bytes = static_cast<double>(settings_.buffer_ms) * kbps / 8.0;
  return std::max(kMinBufferBytes, static_cast<std::size_t>(bytes));
}

std::int64_t HttpStreamReader::UnreadLocked() const {
  return data_start_ + static_cast<std::int64_t>(data_.size()) - read_position_;
}

std::int64_t HttpStreamReader::Read(void* buffer, std::int64_t size) {
  if (size <= 0) return 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    const std::int64_t unread = UnreadLocked();
    if (unread > 0) {
      const std::int64_t count = std::min({unread, size, kLargestRead});
      std::memcpy(buffer, data_.data() + (read_position_ - data_start_),
                  static_cast<std::size_t>(count));
      read_position_ += count;
      const std::int64_t consumed = read_position_ - data_start_;
      if (!keep_whole_ && consumed >= kCompactBytes) {
        data_.erase(0, static_cast<std::size_t>(consumed));
        data_start_ = read_position_;
      }
      lock.unlock();
      space_freed_.notify_all();
      return count;
    }
    if (finished_) return failure_ == 0 ? 0 : -1;
    if (Cancelled() || !wait_for_data_) return -1;
    WaitBriefly(lock, data_arrived_);
  }
}

void HttpStreamReader::SetWaitForData(bool wait) {
  {
    std::lock_guard lock(mutex_);
    wait_for_data_ = wait;
  }
  data_arrived_.notify_all();
}

std::string HttpStreamReader::Peek(std::size_t count) {
  std::unique_lock lock(mutex_);
  while (UnreadLocked() < static_cast<std::int64_t>(count) && !finished_ && !Cancelled() &&
         wait_for_data_) {
    WaitBriefly(lock, data_arrived_);
  }
  const std::int64_t available = std::min<std::int64_t>(UnreadLocked(), static_cast<std::int64_t>(count));
  return data_.substr(static_cast<std::size_t>(read_position_ - data_start_),
                      static_cast<std::size_t>(std::max<std::int64_t>(available, 0)));
}

bool HttpStreamReader::Seek(std::int64_t offset) {
  std::lock_guard lock(mutex_);
  // Only within what is held: a live body has let go of what was read, and nothing past what
  // has arrived can be reached without waiting for the whole download.
  if (offset < data_start_ || offset > data_start_ + static_cast<std::int64_t>(data_.size())) {
    return false;
  }
  read_position_ = offset;
  return true;
}

std::int64_t HttpStreamReader::Size() const {
  std::lock_guard lock(mutex_);
  return keep_whole_ ? content_length_ : -1;
}

std::optional<std::string> HttpStreamReader::MetaBlock() const {
  std::lock_guard lock(mutex_);
  return meta_;
}

void HttpStreamReader::SetBitrateKbps(double kbps) {
  {
    std::lock_guard lock(mutex_);
    codec_kbps_ = kbps;
  }
  space_freed_.notify_all();
}

double HttpStreamReader::BufferFill() const {
  std::lock_guard lock(mutex_);
  const double fill = static_cast<double>(UnreadLocked()) / static_cast<double>(CapacityLocked());
  return std::min(fill, 1.0);
}

std::int64_t HttpStreamReader::ArrivedBytes() const {
  std::lock_guard lock(mutex_);
  return received_;
}

bool HttpStreamReader::Finished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

bool HttpStreamReader::Complete() const {
  std::lock_guard lock(mutex_);
  return complete_;
}

}  // namespace kestrel::audio
