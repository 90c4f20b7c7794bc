// The transfers whose body is gathered in memory: text for feeds, directories and searches, bytes
// for the release queries.

#include <algorithm>
#include <string_view>

#include "net/body_text.h"
#include "net/http.h"
#include "net/transfer.h"

namespace kestrel {
namespace {

using net_internal::FetchIntoMemory;
using net_internal::MemoryRequest;
using net_internal::MemoryResult;
using net_internal::Redirects;

constexpr std::size_t kPreviewBytes = 400;

// Splits "Name: value\r\nName: value\r\n" into lines, dropping empty ones.
std::vector<std::string> HeaderLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return lines;
}

std::string TextOrEmpty(const MemoryResult& result) {
  return result.ok() ? BodyToText(result.body) : std::string();
}

void FillReport(const MemoryResult& result, FetchReport& report) {
  report.status = static_cast<std::uint32_t>(result.status);
  report.bytes_received = result.body.size();
  report.preview = BodyToText(std::string_view(result.body).substr(0, kPreviewBytes));
  if (result.over_cap) {
    report.error_code = CURLE_FILESIZE_EXCEEDED;
  } else if (result.code != CURLE_OK) {
    report.error_code = static_cast<std::uint32_t>(result.code);
  }
  report.error_text = NetErrorText(report.error_code);
}

}  // namespace

std::string NetErrorText(std::uint32_t code) {
  if (code == 0) return {};
  std::string text = curl_easy_strerror(static_cast<CURLcode>(code));
  while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.pop_back();
  }
  return text;
}

std::string HttpGet(const std::string& url, const std::string& user, const std::string& password,
                    FetchReport* report) {
  const bool known_scheme = url.starts_with("https://") || url.starts_with("http://");
  if (!known_scheme) {
    if (report) report->error_text = kUnsupportedSchemeText;
    return {};
  }
  MemoryRequest request;
  request.url = url;
  request.with_credentials = !user.empty() || !password.empty();
  request.user = user;
  request.password = password;
  const MemoryResult result = FetchIntoMemory(request);
  if (report) FillReport(result, *report);
  return TextOrEmpty(result);
}

std::string FetchText(const std::string& url, const std::string& extra_headers) {
  MemoryRequest request;
  request.url = url;
  request.headers = HeaderLines("Accept: */*\r\n" + extra_headers);
  return TextOrEmpty(FetchIntoMemory(request));
}

std::string FetchTextSecure(const std::string& url) {
  MemoryRequest request;
  request.url = url;
  request.redirects = Redirects::kFollowHttpsOnly;
  return TextOrEmpty(FetchIntoMemory(request));
}

std::string GitHubApiGet(const std::string& host, const std::string& path, bool secure) {
  MemoryRequest request;
  request.url = (secure ? "https://" : "http://") + host + path;
  request.headers = {"Accept: application/vnd.github.v3+json"};
  request.tls12_only = secure;
  request.redirects = secure ? Redirects::kFollowHttpsOnly : Redirects::kFollowAny;
  MemoryResult result = FetchIntoMemory(request);
  return result.ok() ? std::move(result.body) : std::string();
}

bool HttpsGetBytes(const std::string& host, const std::string& path, std::string& out) {
  out.clear();
  MemoryRequest request;
  request.url = "https://" + host + path;
  request.redirects = Redirects::kFollowHttpsOnly;
  MemoryResult result = FetchIntoMemory(request);
  if (!result.ok()) return false;
  out = std::move(result.body);
  return !out.empty();
}

}  // namespace kestrel
