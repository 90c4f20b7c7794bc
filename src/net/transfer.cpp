#include "net/transfer.h"

#include <cstdlib>
#include <string_view>

#include "net/http.h"

namespace kestrel::net_internal {
namespace {

void InitialiseLibcurlOnce() {
  static const bool initialised = [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return true;
  }();
  (void)initialised;
}

// Where the fixed hosts are really reached. KESTREL_CONNECT_TO holds comma-separated
// "host:port:connect-host:connect-port" entries (libcurl's connect-to form) and KESTREL_CA_FILE
// an extra trust file; both are read once, here only. URLs themselves are never rewritten.
struct HostRouting {
  curl_slist* connect_to = nullptr;  // kept for the life of the process
  std::string ca_file;
};

const HostRouting& Routing() {
  static const HostRouting routing = [] {
    HostRouting result;
    if (const char* entries = std::getenv("KESTREL_CONNECT_TO")) {
      std::string_view rest(entries);
      while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string entry(rest.substr(0, comma));
        if (!entry.empty()) result.connect_to = curl_slist_append(result.connect_to, entry.c_str());
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
    }
    if (const char* ca = std::getenv("KESTREL_CA_FILE")) result.ca_file = ca;
    return result;
  }();
  return routing;
}

std::size_t AppendToMemory(char* data, std::size_t size, std::size_t count, void* context) {
  auto* sink = static_cast<std::pair<MemoryResult*, std::size_t>*>(context);
  const std::size_t length = size * count;
  if (sink->first->body.size() + length > sink->second) {
    sink->first->over_cap = true;
    return 0;  // ends the transfer with a write error
  }
  sink->first->body.append(data, length);
  return length;
}

}  // namespace

HeaderList MakeHeaderList(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (!grown) break;
    list = grown;
  }
  return HeaderList(list);
}

Easy NewTransfer(const std::string& url, Redirects redirects, const TransferLimits& limits) {
  InitialiseLibcurlOnce();
  Easy easy(curl_easy_init());
  if (!easy) return easy;
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, limits.connect_timeout_seconds);
  const HostRouting& routing = Routing();
  if (routing.connect_to) curl_easy_setopt(e, CURLOPT_CONNECT_TO, routing.connect_to);
  if (!routing.ca_file.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, routing.ca_file.c_str());
  if (redirects != Redirects::kNone) {
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, limits.automatic_redirect_limit);
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR,
                     redirects == Redirects::kFollowHttpsOnly ? "https" : "http,https");
  }
  return easy;
}

long ResponseStatus(CURL* easy) {
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

MemoryResult FetchIntoMemory(const MemoryRequest& request) {
  MemoryResult result;
  const TransferLimits limits = CurrentTransferLimits();
  Easy easy = NewTransfer(request.url, request.redirects, limits);
  if (!easy) {
    result.code = CURLE_FAILED_INIT;
    return result;
  }
  CURL* e = easy.get();
  HeaderList headers = MakeHeaderList(request.headers);
  if (headers) curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  if (request.tls12_only) {
    curl_easy_setopt(e, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
  }
  if (request.with_credentials) {
    curl_easy_setopt(e, CURLOPT_USERNAME, request.user.c_str());
    curl_easy_setopt(e, CURLOPT_PASSWORD, request.password.c_str());
    curl_easy_setopt(e, CURLOPT_HTTPAUTH, CURLAUTH_BASIC | CURLAUTH_DIGEST);
  }
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, limits.memory_stall_seconds);
  curl_easy_setopt(e, CURLOPT_TIMEOUT, limits.memory_total_seconds);
  std::pair<MemoryResult*, std::size_t> sink(&result, limits.max_memory_body_bytes);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, AppendToMemory);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
  result.code = curl_easy_perform(e);
  result.status = ResponseStatus(e);
  return result;
}

}  // namespace kestrel::net_internal
