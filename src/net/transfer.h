#pragma once

// The pieces every transfer shares: one libcurl set-up with the user agent, verified TLS, the
// host routing and the limits; and the in-memory GET under the text and byte fetches.

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

#include "net/transfer_limits.h"

namespace kestrel::net_internal {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

HeaderList MakeHeaderList(const std::vector<std::string>& lines);

enum class Redirects { kNone, kFollowAny, kFollowHttpsOnly };

// A transfer of `url` with everything every request carries; null when libcurl fails.
Easy NewTransfer(const std::string& url, Redirects redirects, const TransferLimits& limits);

long ResponseStatus(CURL* easy);

struct MemoryRequest {
  std::string url;
  std::vector<std::string> headers;
  Redirects redirects = Redirects::kFollowAny;
  bool tls12_only = false;
  bool with_credentials = false;
  std::string user;
  std::string password;
};

struct MemoryResult {
  CURLcode code = CURLE_OK;
  bool over_cap = false;
  long status = 0;
  std::string body;
  bool ok() const { return code == CURLE_OK && !over_cap; }
};

MemoryResult FetchIntoMemory(const MemoryRequest& request);

}  // namespace kestrel::net_internal
