#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "storage/file_io.h"

namespace kestrel {
namespace fs = std::filesystem;

namespace {

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A name no other writer uses at the same moment, in the target's own folder so the rename
// stays on one file system.
fs::path TemporaryNameFor(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  return fs::path(target.string() + ".tmp." + std::to_string(::getpid()) + "." +
                  std::to_string(counter.fetch_add(1)));
}

void SyncFolder(const fs::path& folder) {
  const int fd =
      OpenRetrying(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // the rename is done; a folder that cannot be synced still holds the new file
  ::close(fd);
}

}  // namespace

FileReadResult ReadFileBytes(const fs::path& file, std::string& bytes, std::size_t max_bytes) {
  bytes.clear();
  const int fd = OpenRetrying(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return (errno == ENOENT || errno == ENOTDIR) ? FileReadResult::kMissing
                                                 : FileReadResult::kFailed;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::size_t>(info.st_size) > max_bytes) {
    ::close(fd);
    return FileReadResult::kFailed;
  }
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || bytes.size() + static_cast<std::size_t>(got) > max_bytes) {
      ::close(fd);
      bytes.clear();
      return FileReadResult::kFailed;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return FileReadResult::kRead;
}

bool WriteFileAtomically(const fs::path& file, std::string_view bytes) {
  std::error_code ec;
  fs::path target = file;
  if (fs::is_symlink(file, ec)) {
    fs::path resolved = fs::weakly_canonical(file, ec);
    if (!ec) target = resolved;
  }

  const fs::path temporary = TemporaryNameFor(target);
  const int fd = OpenRetrying(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;

  struct stat old_info {};
  if (::stat(target.c_str(), &old_info) == 0) ::fchmod(fd, old_info.st_mode & 07777);

  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

bool IsFolderWritable(const fs::path& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ProgramFileName(std::string_view stem) { return std::string(stem); }

bool IsRunnableFile(const fs::path& file) {
  struct stat info {};
  return !file.empty() && ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(file.c_str(), X_OK) == 0;
}

fs::path FindProgramOnSearchPath(std::string_view file_name, std::string_view search_path) {
  if (file_name.empty() || file_name.find('/') != std::string_view::npos) return {};
  while (true) {
    const std::size_t colon = search_path.find(':');
    const fs::path folder(search_path.substr(0, colon));
    if (folder.is_absolute()) {
      fs::path candidate = folder / file_name;
      if (IsRunnableFile(candidate)) return candidate;
    }
    if (colon == std::string_view::npos) return {};
    search_path.remove_prefix(colon + 1);
  }
}

ExclusiveFileLock::ExclusiveFileLock(const fs::path& lock_file,
                                     std::chrono::milliseconds patience) {
  int fd = OpenRetrying(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A lock file we may not write still locks: flock needs no write access.
  if (fd < 0) fd = OpenRetrying(lock_file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      descriptor_ = fd;
      return;
    }
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

ExclusiveFileLock::~ExclusiveFileLock() {
  if (descriptor_ >= 0) ::close(descriptor_);  // closing releases the lock
}

}  // namespace kestrel
