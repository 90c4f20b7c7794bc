#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "diag/log_file.h"

namespace kestrel {

LocalDateTime LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return {};
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool AppendWhole(const std::filesystem::path& file, std::string_view bytes) {
  int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool written = false;
  for (;;) {
    ssize_t result = ::write(fd, bytes.data(), bytes.size());
    if (result < 0 && errno == EINTR) continue;
    written = result == static_cast<ssize_t>(bytes.size());
    break;
  }
  return ::close(fd) == 0 && written;
}

}  // namespace kestrel
