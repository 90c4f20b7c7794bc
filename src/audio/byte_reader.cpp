#include "audio/byte_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kestrel::audio {
namespace {

class FileReader final : public ByteReader {
 public:
  FileReader(std::ifstream file, std::int64_t size) : file_(std::move(file)), size_(size) {}

  std::int64_t Read(void* buffer, std::int64_t size) override {
    if (size <= 0) return 0;
    file_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    const std::int64_t got = file_.gcount();
    if (file_.bad()) return -1;
    file_.clear();  // an end-of-file stop is not an error for the next seek
    return got;
  }

  bool Seek(std::int64_t offset) override {
    if (offset < 0 || offset > size_) return false;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(file_);
  }

  std::int64_t Size() const override { return size_; }

 private:
  std::ifstream file_;
  std::int64_t size_;
};

class MemoryReader final : public ByteReader {
 public:
  explicit MemoryReader(std::string bytes) : bytes_(std::move(bytes)) {}

  std::int64_t Read(void* buffer, std::int64_t size) override {
    const std::int64_t available = static_cast<std::int64_t>(bytes_.size()) - offset_;
    const std::int64_t count = std::clamp<std::int64_t>(size, 0, available);
    if (count > 0) std::memcpy(buffer, bytes_.data() + offset_, static_cast<std::size_t>(count));
    offset_ += count;
    return count;
  }

  bool Seek(std::int64_t offset) override {
    if (offset < 0 || offset > static_cast<std::int64_t>(bytes_.size())) return false;
    offset_ = offset;
    return true;
  }

  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }

 private:
  std::string bytes_;
  std::int64_t offset_ = 0;
};

}  // namespace

std::unique_ptr<ByteReader> OpenFileReader(const std::string& path) {
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (path.empty() || std::filesystem::is_directory(file, error)) return nullptr;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return nullptr;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return nullptr;
  return std::make_unique<FileReader>(std::move(stream), static_cast<std::int64_t>(size));
}

std::unique_ptr<ByteReader> MakeMemoryReader(std::string bytes) {
  return std::make_unique<MemoryReader>(std::move(bytes));
}

}  // namespace kestrel::audio
