#include "engine/tag_name_list.h"

#include <array>

#include "base/utf8.h"
#include "engine/tag_text.h"

namespace kestrel::tag_list {
namespace {

struct RiffInfoName {
  std::string_view name;
  std::string_view id;
};
constexpr std::array<RiffInfoName, 9> kRiffInfoIds = {{
    {"TITLE", "INAM"}, {"ARTIST", "IART"}, {"ALBUM", "IPRD"}, {"DATE", "ICRD"},
    {"YEAR", "ICRD"}, {"TRACK", "ITRK"}, {"TRACKNUMBER", "ITRK"}, {"GENRE", "IGNR"},
    {"COMMENT", "ICMT"},
}};

}  // namespace

std::string Value(std::string_view list, std::string_view name) {
  if (name.empty()) return {};
  while (!list.empty()) {
    const std::size_t end = list.find('\0');
    const std::string_view entry = list.substr(0, end);
    if (entry.empty()) return {};  // the empty string ends the list
    if (entry.size() > name.size() && entry[name.size()] == '=' &&
        EqualsIgnoreAsciiCase(entry.substr(0, name.size()), name)) {
      return tag_text::CleanUtf8(entry.substr(name.size() + 1));
    }
    if (end == std::string_view::npos) return {};
    list.remove_prefix(end + 1);
  }
  return {};
}

std::string_view RiffInfoId(std::string_view name) {
  for (const RiffInfoName& row : kRiffInfoIds) {
    if (EqualsIgnoreAsciiCase(row.name, name)) return row.id;
  }
  return {};
}

}  // namespace kestrel::tag_list
