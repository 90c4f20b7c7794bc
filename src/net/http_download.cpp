// The transfers that stream a body to disk. Each one writes "<target>.part" and renames it over
// the target only when the whole body came: status accepted, length as announced, every write
// done, nothing cancelled.

#include <curl/curl.h>

#include <optional>

#include "net/http.h"
#include "net/part_file.h"
#include "net/transfer.h"

namespace kestrel {
namespace {

using net_internal::Easy;
using net_internal::NewTransfer;
using net_internal::Redirects;
using net_internal::ResponseStatus;

bool IsSuccessStatus(long status) { return status >= 200 && status <= 299; }
bool IsOkOnly(long status) { return status == 200; }
bool IsAnyRedirect(long status) { return status >= 300 && status <= 399; }
bool IsMovedStatus(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

struct HopOptions {
  Redirects automatic_redirects = Redirects::kNone;
  bool (*accepted)(long status) = IsSuccessStatus;
  // Statuses this caller follows itself; null when libcurl follows them or none are followed.
  bool (*followed)(long status) = nullptr;
  const std::atomic<bool>* cancel = nullptr;
  const ProgressCallback* progress = nullptr;
  bool empty_body_is_failure = false;
};

struct HopResult {
  bool saved = false;
  std::optional<std::string> redirect_to;  // set when the answer is a redirection to follow
};

// State shared with libcurl's callbacks during one request.
struct HopState {
  CURL* easy = nullptr;
  const HopOptions* options = nullptr;
  PartFile* file = nullptr;
  long status = 0;
  bool status_known = false;
  bool redirecting = false;
  bool refused = false;  // a status we do not save, a failed write or a cancel
  std::uint64_t written = 0;

  bool Cancelled() const { return options->cancel && options->cancel->load(); }

  std::uint64_t AnnouncedLength() const {
    curl_off_t length = -1;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    return length > 0 ? static_cast<std::uint64_t>(length) : 0;
  }
};

std::size_t WritePiece(char* data, std::size_t size, std::size_t count, void* context) {
  auto& state = *static_cast<HopState*>(context);
  const std::size_t length = size * count;
  if (!state.status_known) {
    state.status_known = true;
    state.status = ResponseStatus(state.easy);
    const HopOptions& options = *state.options;
    if (options.followed && options.followed(state.status)) {
      state.redirecting = true;
    } else if (!options.accepted(state.status) || !state.file->Open()) {
      state.refused = true;
    }
  }
  if (state.redirecting) return length;  // the redirection's own body is not kept
  if (state.refused || state.Cancelled() || !state.file->Write({data, length})) {
    state.refused = true;
    return 0;
  }
  state.written += length;
  const ProgressCallback* progress = state.options->progress;
  if (progress && *progress && !(*progress)(state.written, state.AnnouncedLength())) {
    state.refused = true;
    return 0;
  }
  return length;
}

// Lets a cancel take effect while the server sends nothing.
int CheckCancel(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<HopState*>(context)->Cancelled() ? 1 : 0;
}

HopResult DownloadHop(const std::string& url, PartFile& file, const HopOptions& options) {
  HopResult result;
  const TransferLimits limits = CurrentTransferLimits();
  Easy easy = NewTransfer(url, options.automatic_redirects, limits);
  if (!easy) return result;
  CURL* e = easy.get();
  HopState state;
  state.easy = e;
  state.options = &options;
  state.file = &file;
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, WritePiece);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, CheckCancel);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, &state);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, limits.download_stall_seconds);
  const CURLcode code = curl_easy_perform(e);
  if (code != CURLE_OK || state.refused) return result;

  if (!state.status_known) state.status = ResponseStatus(e);  // an answer without a body
  if (options.followed && options.followed(state.status)) {
    char* location = nullptr;
    curl_easy_getinfo(e, CURLINFO_REDIRECT_URL, &location);
    if (location && *location) result.redirect_to = location;
    return result;  // a redirection without a target is a failure
  }
  if (!options.accepted(state.status) || state.Cancelled()) return result;
  curl_off_t announced = -1;
  curl_easy_getinfo(e, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  if (announced >= 0 && static_cast<std::uint64_t>(announced) != state.written) return result;
  if (state.written == 0 && options.empty_body_is_failure) return result;
  result.saved = file.Open() && file.Commit();
  return result;
}

// Runs hops until one saves the file, fails, or redirects once too often.
bool DownloadFollowing(std::string url, const std::filesystem::path& target,
                       const HopOptions& options, int redirections_left,
                       std::string (*next_url)(const std::string& location)) {
  PartFile file(target);
  while (true) {
    HopResult hop = DownloadHop(url, file, options);
    if (hop.saved) return true;
    if (!hop.redirect_to || redirections_left <= 0) return false;
    url = next_url(*hop.redirect_to);
    if (url.empty()) return false;
    --redirections_left;
    file.Discard();
  }
}

std::string SameUrl(const std::string& location) { return location; }

// The update host's redirections are always followed over https on the standard port, keeping
// the Location's host, path and query.
std::string SecureUrlFromLocation(const std::string& location) {
  CURLU* parts = curl_url();
  if (!parts) return {};
  std::string url;
  char* host = nullptr;
  char* path = nullptr;
  char* query = nullptr;
  if (curl_url_set(parts, CURLUPART_URL, location.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK &&
      curl_url_get(parts, CURLUPART_PATH, &path, 0) == CURLUE_OK) {
    url = std::string("https://") + host + path;
    if (curl_url_get(parts, CURLUPART_QUERY, &query, 0) == CURLUE_OK) url += std::string("?") + query;
  }
  curl_free(host);
  curl_free(path);
  curl_free(query);
  curl_url_cleanup(parts);
  return url;
}

}  // namespace

bool DownloadToFile(const std::string& url, const std::filesystem::path& path,
                    const std::atomic<bool>& cancel) {
  if (path.has_parent_path()) {
    std::error_code ignored;
    std::filesystem::create_directory(path.parent_path(), ignored);
  }
  HopOptions options;
  options.automatic_redirects = Redirects::kFollowAny;
  options.cancel = &cancel;
  PartFile file(path);
  return DownloadHop(url, file, options).saved;
}

bool DownloadWithProgress(const std::string& url, const std::filesystem::path& path,
                          const ProgressCallback& progress, int redirections_left) {
  HopOptions options;
  options.followed = IsAnyRedirect;
  options.progress = &progress;
  options.empty_body_is_failure = true;
  return DownloadFollowing(url, path, options, redirections_left, SameUrl);
}

bool DownloadReplacing(const std::string& host, const std::string& path,
                       const std::filesystem::path& target, int redirections_left) {
  if (redirections_left < 0) return false;
  HopOptions options;
  options.accepted = IsOkOnly;
  options.followed = IsMovedStatus;
  return DownloadFollowing("https://" + host + path, target, options, redirections_left,
                           SecureUrlFromLocation);
}

}  // namespace kestrel
