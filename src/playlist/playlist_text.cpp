#include "playlist/playlist_text.h"

#include <cctype>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/utf8.h"
#include "playlist/windows_1252.h"

namespace kestrel {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr int kMostPlsEntries = 1000;

std::string_view WithoutBom(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  return bytes;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Calls `visit` with each line of the text, without its line end.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    visit(text.substr(0, end));
    if (end == std::string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

// The line as UTF-8: as it stands when it is UTF-8 already, else read as Windows-1252.
std::optional<std::string> DecodeLine(std::string_view line) {
  if (line.find('\0') != std::string_view::npos) return std::nullopt;
  if (IsValidUtf8(line)) return std::string(line);
  return Windows1252ToUtf8(line);
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The keys and values of the first [playlist] section, keys in lower case, first one kept.
std::unordered_map<std::string, std::string_view> PlaylistSection(std::string_view text) {
  std::unordered_map<std::string, std::string_view> values;
  enum class Place { kBefore, kInside, kAfter } place = Place::kBefore;
  ForEachLine(text, [&](std::string_view raw) {
    if (place == Place::kAfter) return;
    const std::string_view line = TrimBlanks(raw);
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = TrimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      if (place == Place::kInside) {
        place = Place::kAfter;
      } else if (EqualsIgnoreAsciiCase(name, "playlist")) {
        place = Place::kInside;
      }
      return;
    }
    if (place != Place::kInside) return;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    std::string key = AsciiLower(TrimBlanks(line.substr(0, equals)));
    values.emplace(std::move(key), WithoutQuotes(TrimBlanks(line.substr(equals + 1))));
  });
  return values;
}

bool IsSchemeCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

}  // namespace

std::vector<std::string> M3uEntries(std::string_view bytes) {
  std::vector<std::string> entries;
  ForEachLine(WithoutBom(bytes), [&](std::string_view raw) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == '#') return;
    if (std::optional<std::string> entry = DecodeLine(line)) entries.push_back(std::move(*entry));
  });
  return entries;
}

std::vector<std::string> PlsEntries(std::string_view bytes) {
  const auto section = PlaylistSection(WithoutBom(bytes));
  std::vector<std::string> entries;
  for (int number = 1; number <= kMostPlsEntries; ++number) {
    const auto found = section.find("file" + std::to_string(number));
    if (found == section.end() || found->second.empty()) break;
    if (std::optional<std::string> entry = DecodeLine(found->second)) {
      entries.push_back(std::move(*entry));
    }
  }
  return entries;
}

bool HasUrlScheme(std::string_view entry) {
  const std::size_t marker = entry.find("://");
  if (marker == std::string_view::npos || marker == 0) return false;
  if (!std::isalpha(static_cast<unsigned char>(entry.front()))) return false;
  for (std::size_t i = 1; i < marker; ++i) {
    if (!IsSchemeCharacter(entry[i])) return false;
  }
  return true;
}

std::string ResolvePlaylistEntry(std::string_view entry, std::string_view base_folder) {
  const bool drive_path = entry.size() >= 3 && entry[1] == ':';
  if (entry.empty() || HasUrlScheme(entry) || entry.front() == '/' || drive_path) return std::string(entry);
  std::string resolved(base_folder);
  resolved += entry;
  return resolved;
}

}  // namespace kestrel
