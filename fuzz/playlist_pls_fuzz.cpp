// PLS playlist text: any bytes give at most a thousand clean UTF-8 entries, each resolvable
// against a folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "playlist/playlist_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> entries = kestrel::PlsEntries(bytes);
  Check(entries.size() <= 1000);
  for (const std::string& entry : entries) {
    Check(!entry.empty());
    Check(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    Check(kestrel::IsValidUtf8(entry));
    const std::string resolved = kestrel::ResolvePlaylistEntry(entry, "/lists/");
    Check(resolved == entry || resolved == "/lists/" + entry);
  }
  return 0;
}
