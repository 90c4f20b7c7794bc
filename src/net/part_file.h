#pragma once

#include <filesystem>
#include <string_view>

namespace kestrel {

// A download's file under construction: "<target>.part" beside the target, renamed over the
// target only when whole. Anything not committed is deleted when the object goes.
class PartFile {
 public:
  explicit PartFile(std::filesystem::path target);
  ~PartFile();
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  bool Open();  // creates (or truncates) the part file
  bool is_open() const { return fd_ >= 0; }
  bool Write(std::string_view bytes);
  // Flushes to disk, closes and renames over the target.
  bool Commit();
  void Discard();

 private:
  std::filesystem::path target_;
  std::filesystem::path part_;
  int fd_ = -1;
};

}  // namespace kestrel
