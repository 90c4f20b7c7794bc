#pragma once

// Every network transfer of the program. Each operation is synchronous: it runs on the calling
// thread (callers use worker threads), opens its own transfer, and releases everything before it
// returns. TLS certificates and host names are always verified. Every request announces the
// user agent "Kestrel/1.0".

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kestrel {

// What HttpGet saw, for the feed diagnostics. The caller zero-initialises it.
struct FetchReport {
  std::uint32_t status = 0;      // HTTP status of the last response; 0 when none arrived
  std::uint32_t error_code = 0;  // transfer error number; 0 when no step failed
  std::string error_text;        // text of error_code, or a text of our own
  std::uint64_t bytes_received = 0;
  std::int32_t item_tags = 0;           // filled by the feed parser
  std::int32_t episodes_extracted = 0;  // filled by the feed parser
  std::string preview;                  // the first 400 bytes of the body, as text
};

// Bytes written so far and the length the server announced (0 when it announced none).
// Returns true to go on, false to cancel the download.
using ProgressCallback = std::function<bool(std::uint64_t written, std::uint64_t total)>;

inline constexpr const char* kUserAgent = "Kestrel/1.0";
inline constexpr const char* kUnsupportedSchemeText =
    "Unsupported URL scheme (expected http:// or https://)";

// Bodies returned as text are UTF-8: they end at the first NUL byte and every byte that is not
// part of valid UTF-8 becomes U+FFFD. Text fetches give up on a body above the size cap or a
// server that stops sending (see transfer_limits.h) and then return an empty text.

// GET with optional credentials (used only when either is non-empty). Only "http://" and
// "https://" (exactly, in lower case) are accepted. An error page comes back like any body.
std::string HttpGet(const std::string& url, const std::string& user, const std::string& password,
                    FetchReport* report = nullptr);

// GET sending "Accept: */*" and the extra header lines given ("Name: value\r\n"...).
std::string FetchText(const std::string& url, const std::string& extra_headers = {});

// GET with no extra headers; redirections may only lead to https.
std::string FetchTextSecure(const std::string& url);

// Downloads into `path` (creating its folder, one level). Fails on a non-2xx status, a body
// that does not match the announced length, a stall, a failed write, or when `cancel` is set.
// The file appears only when whole; an existing file is replaced only then.
bool DownloadToFile(const std::string& url, const std::filesystem::path& path,
                    const std::atomic<bool>& cancel);

// Downloads following at most `redirections_left` redirections itself, calling `progress`
// after each piece written. Fails on a status outside 2xx, an empty or short body, or a cancel.
bool DownloadWithProgress(const std::string& url, const std::filesystem::path& path,
                          const ProgressCallback& progress, int redirections_left);

// GET of the GitHub API on `host` (https when `secure`, offering TLS 1.2 only), with the
// GitHub JSON Accept header. The body bytes come back as they are; empty on failure.
std::string GitHubApiGet(const std::string& host, const std::string& path, bool secure);

// Replaces `target` by the body of https://host/path, following up to `redirections_left`
// redirections (301, 302, 303, 307, 308) itself, each again over https on port 443. Only a 200
// answer is accepted; the old target stays untouched unless the new file is whole.
bool DownloadReplacing(const std::string& host, const std::string& path,
                       const std::filesystem::path& target, int redirections_left);

// GET of https://host/path into `out`; true when a non-empty body came.
bool HttpsGetBytes(const std::string& host, const std::string& path, std::string& out);

// The text of a transfer error number (empty for 0), without a trailing full stop.
std::string NetErrorText(std::uint32_t code);

}  // namespace kestrel
