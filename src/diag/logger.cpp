#include "diag/logger.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <system_error>

#include "base/app_paths.h"
#include "diag/log_file.h"

namespace kestrel {
namespace fs = std::filesystem;
namespace {

// A log larger than this is moved aside to kestrel.log.old before the next line is written.
constexpr std::uintmax_t kRotateAboveBytes = 0xFFFFF;  // 1 048 575
// LogFormat's buffer, terminating NUL included.
constexpr std::size_t kFormatBufferBytes = 2048;

struct LoggerState {
  std::mutex mutex;
  fs::path path;
  bool enabled = false;
};

// Never destroyed: any thread may still log while the process exits.
LoggerState& State() {
  static auto* state = new LoggerState;
  return *state;
}

// Lets writes outside the logger's lifetime return without taking the lock.
std::atomic<bool> g_enabled{false};

void RotateIfLarge(const fs::path& log) {
  std::error_code ec;
  std::uintmax_t size = fs::file_size(log, ec);
  if (ec || size <= kRotateAboveBytes) return;
  fs::path old = log;
  old += ".old";
  fs::remove(old, ec);
  fs::rename(log, old, ec);
}

// One entry is one line: line breaks inside a message would forge or split entries.
void AppendOneLine(std::string& line, std::string_view text) {
  for (char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
}

std::string FormatLine(std::string_view category, std::string_view message) {
  LocalDateTime now = LocalNow();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "[%04d-%02d-%02d %02d:%02d:%02d] ", now.year, now.month,
                now.day, now.hour, now.minute, now.second);
  std::string line = stamp;
  line += '[';
  AppendOneLine(line, category);
  line += "] ";
  AppendOneLine(line, message);
  line += "\r\n";
  return line;
}

// Caller holds the lock.
void WriteLocked(LoggerState& state, std::string_view category, std::string_view message) {
  if (!state.enabled) return;
  RotateIfLarge(state.path);
  // A log that cannot be written is not worth stopping the player for: the result is ignored.
  AppendWhole(state.path, FormatLine(category, message));
}

// Length of the longest prefix of text[0, size) that does not end inside a UTF-8 sequence.
std::size_t WholeCharactersPrefix(const char* text, std::size_t size) {
  std::size_t start = size;
  // Step back over at most three continuation bytes to the lead byte of the last sequence.
  while (start > 0 && size - start < 4 &&
         (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
    --start;
  }
  if (start == 0) return size;
  unsigned char lead = static_cast<unsigned char>(text[start - 1]);
  std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  std::size_t present = size - start + 1;
  return present < expected ? start - 1 : size;
}

}  // namespace

void StartLogger(const fs::path& folder) {
  LoggerState& state = State();
  std::lock_guard lock(state.mutex);
  fs::path where = folder.empty() ? KestrelFolder(UserFolder::State) : folder;
  std::error_code ec;
  fs::create_directories(where, ec);
  state.path = where / "kestrel.log";
  state.enabled = true;
  g_enabled.store(true);
  WriteLocked(state, "INIT", "Kestrel logger started");
}

void StopLogger() {
  LoggerState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.enabled) return;
  WriteLocked(state, "EXIT", "Kestrel logger stopped");
  state.enabled = false;
  g_enabled.store(false);
}

void LogText(std::string_view category, std::string_view message) {
  if (!g_enabled.load()) return;
  LoggerState& state = State();
  std::lock_guard lock(state.mutex);
  WriteLocked(state, category, message);
}

void LogFormat(const char* category, const char* format, ...) {
  if (!g_enabled.load()) return;
  char buffer[kFormatBufferBytes];
  va_list arguments;
  va_start(arguments, format);
  int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  if (length < 0) return;
  std::size_t size = static_cast<std::size_t>(length);
  // A cut result keeps whole characters only, so the log stays valid UTF-8.
  if (size >= sizeof buffer) size = WholeCharactersPrefix(buffer, sizeof buffer - 1);
  LogText(category ? category : "", std::string_view(buffer, size));
}

fs::path LogPath() {
  LoggerState& state = State();
  std::lock_guard lock(state.mutex);
  return state.path;
}

}  // namespace kestrel
