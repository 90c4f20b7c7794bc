#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The few file operations the settings store needs, with the platform calls kept in
// file_io_linux.cpp.
namespace kestrel {

enum class FileReadResult { kRead, kMissing, kFailed };

// Reads the whole file into `bytes`. kMissing when there is no such file; kFailed when it
// exists but cannot be read whole (no permission, not a regular file, larger than max_bytes).
FileReadResult ReadFileBytes(const std::filesystem::path& file, std::string& bytes,
                             std::size_t max_bytes);

// Writes the file whole to a temporary file in the same folder, flushes it to the disk and
// renames it over the old one, so that a crash leaves either the old file or the new one, never
// a torn one. The old file's permissions are kept; a symbolic link is written through to its
// target. False (the old file untouched) when any step fails.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// True when this process may create files in the folder.
bool IsFolderWritable(const std::filesystem::path& folder);

// The file name of a program on this system ("yt-dlp" here, "yt-dlp.exe" on Windows).
std::string ProgramFileName(std::string_view stem);
// True when the path names a regular file (after links) that this process may run.
bool IsRunnableFile(const std::filesystem::path& file);
// The first runnable `file_name` in the folders of `search_path` (the PATH variable's form);
// empty when there is none. Relative folders (an empty entry means the current folder) are
// skipped: what the program runs must not depend on where it was started from.
std::filesystem::path FindProgramOnSearchPath(std::string_view file_name,
                                              std::string_view search_path);

// An exclusive advisory lock on a lock file, held by this object and released when it goes.
// Processes that take the same lock file run their read-change-write cycles one after another.
class ExclusiveFileLock {
 public:
  // Creates the lock file when missing and waits at most `patience` for the lock.
  ExclusiveFileLock(const std::filesystem::path& lock_file, std::chrono::milliseconds patience);
  ~ExclusiveFileLock();
  ExclusiveFileLock(const ExclusiveFileLock&) = delete;
  ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

  bool held() const { return descriptor_ >= 0; }

 private:
  int descriptor_ = -1;
};

}  // namespace kestrel
