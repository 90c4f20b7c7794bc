#pragma once

#include <filesystem>
#include <string>

namespace kestrel::test {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes a file (creating parent folders) and returns its full path.
  std::filesystem::path Write(const std::string& relative, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

std::string ReadWholeFile(const std::filesystem::path& file);

}  // namespace kestrel::test
