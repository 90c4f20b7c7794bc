#include "storage/recent_files.h"

#include "storage/numbered_keys.h"
#include "storage/settings.h"

namespace kestrel {
namespace {

constexpr std::string_view kSection = "RecentFiles";
constexpr std::string_view kPrefix = "File";
constexpr std::size_t kLongestPath = 259;

}  // namespace

std::vector<std::string> ReadRecentFiles(const IniDocument& document) {
  std::vector<std::string> files;
  for (NumberedValue& entry :
       ReadNumberedValues(document, kSection, kPrefix, kMaxRecentFiles, kLongestPath)) {
    if (!entry.value.empty()) files.push_back(std::move(entry.value));
  }
  return files;
}

bool WriteRecentFiles(IniDocument& document, const std::vector<std::string>& files) {
  document.ClearSection(kSection);
  bool all_written = true;
  int written = 0;
  for (const std::string& file : files) {
    if (written == kMaxRecentFiles) break;
    if (file.empty()) continue;
    if (document.Set(kSection, NumberedKey(kPrefix, written), file)) {
      ++written;
    } else {
      all_written = false;
    }
  }
  return all_written;
}

}  // namespace kestrel
