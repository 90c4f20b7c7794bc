// M3U and M3U8 playlist text: any bytes give clean UTF-8 entries that survive being written out
// as an M3U and read again, and each entry resolves against a folder.
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> entries = kestrel::M3uEntries(bytes);
  std::string written = "\xEF\xBB\xBF#EXTM3U\r\n";
  for (const std::string& entry : entries) {
    Check(!entry.empty() && entry.front() != '#');
    Check(!IsBlank(entry.front()) && !IsBlank(entry.back()));
    Check(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    Check(kestrel::IsValidUtf8(entry));
    const std::string resolved = kestrel::ResolvePlaylistEntry(entry, "/lists/");
    Check(resolved == entry || resolved == "/lists/" + entry);
    written += entry + "\r\n";
  }
  Check(kestrel::M3uEntries(written) == entries);
  return 0;
}
