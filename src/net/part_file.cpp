#include "net/part_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kestrel {

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), part_(target_.string() + ".part") {}

PartFile::~PartFile() { Discard(); }

bool PartFile::Open() {
  if (fd_ >= 0) return true;
  fd_ = ::open(part_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool PartFile::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool PartFile::Commit() {
  if (fd_ < 0) return false;
  const bool synced = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || std::rename(part_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  return true;
}

void PartFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(part_.c_str());
  } else {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(part_, ignored)) std::filesystem::remove(part_, ignored);
  }
}

}  // namespace kestrel
