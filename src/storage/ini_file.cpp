#include "storage/ini_file.h"

#include <chrono>
#include <string>

#include "storage/file_io.h"

namespace kestrel {
namespace {

// Far beyond any real settings file; a larger one is not ours to load into memory.
constexpr std::size_t kLargestIniFile = 64u << 20;
// Another copy holds the lock only while it writes a small file.
constexpr std::chrono::milliseconds kLockPatience{5000};

std::filesystem::path LockFileFor(const std::filesystem::path& file) {
  return std::filesystem::path(file.string() + ".lock");
}

}  // namespace

IniDocument ReadIniFile(const std::filesystem::path& file, bool* readable) {
  std::string bytes;
  const FileReadResult result = ReadFileBytes(file, bytes, kLargestIniFile);
  if (readable) *readable = result != FileReadResult::kFailed;
  return result == FileReadResult::kRead ? IniDocument::Parse(bytes) : IniDocument();
}

bool UpdateIniFile(const std::filesystem::path& file,
                   const std::function<void(IniDocument&)>& change) {
  ExclusiveFileLock lock(LockFileFor(file), kLockPatience);
  if (!lock.held()) return false;

  std::string before;
  const FileReadResult result = ReadFileBytes(file, before, kLargestIniFile);
  if (result == FileReadResult::kFailed) return false;

  IniDocument document =
      result == FileReadResult::kRead ? IniDocument::Parse(before) : IniDocument();
  change(document);
  const std::string after = document.Serialize();
  if (result == FileReadResult::kRead && after == before) return true;
  return WriteFileAtomically(file, after);
}

}  // namespace kestrel
