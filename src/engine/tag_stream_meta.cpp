#include "engine/tag_stream_meta.h"

#include "base/utf8.h"
#include "engine/tag_text.h"

namespace kestrel::stream_meta {
namespace {

bool IsLineBreak(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// The text after `prefix` up to the next double quote (or the end); nothing when the prefix is
// absent.
bool QuotedAfter(std::string_view text, std::string_view prefix, std::string* value) {
  const std::size_t start = text.find(prefix);
  if (start == std::string_view::npos) return false;
  const std::string_view rest = text.substr(start + prefix.size());
  *value = std::string(rest.substr(0, rest.find('"')));
  return true;
}

}  // namespace

std::string HeaderValue(std::string_view block, std::string_view name) {
  if (name.empty()) return {};
  std::size_t at = 0;
  while (at < block.size()) {
    std::size_t end = at;
    while (end < block.size() && !IsLineBreak(block[end])) ++end;
    const std::string_view line = block.substr(at, end - at);
    // An empty line ends the block; the LF of a CR LF pair is not one.
    const bool crlf_tail = at > 0 && block[at - 1] == '\r' && end < block.size() &&
                           block[end] == '\n' && line.empty();
    if (line.empty() && !crlf_tail) return {};
    if (line.size() > name.size() && line[name.size()] == ':' &&
        EqualsIgnoreAsciiCase(line.substr(0, name.size()), name)) {
      std::string_view value = line.substr(name.size() + 1);
      while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
      return tag_text::CleanUtf8(value);
    }
    at = end + 1;
  }
  return {};
}

std::string FieldValue(std::string_view meta, std::string_view name) {
  if (name.empty()) return {};
  const std::string single = std::string(name) + "='";
  if (const std::size_t start = meta.find(single); start != std::string_view::npos) {
    std::string_view rest = meta.substr(start + single.size());
    const std::size_t end = rest.find("';");
    if (end != std::string_view::npos) {
      rest = rest.substr(0, end);
    } else if (!rest.empty() && rest.back() == '\'') {
      rest.remove_suffix(1);
    }
    return tag_text::CleanUtf8(rest);
  }
  std::string value;
  if (QuotedAfter(meta, std::string(name) + "=\"", &value)) return tag_text::CleanUtf8(value);
  return {};
}

ArtistAndTitle SplitStreamTitle(std::string_view s) {
  ArtistAndTitle parts;
  constexpr std::string_view kTextMarker = " - text=\"";
  if (const std::size_t marker = s.find(kTextMarker); marker != std::string_view::npos) {
    parts.artist = std::string(s.substr(0, marker));
    const std::string_view rest = s.substr(marker + kTextMarker.size());
    parts.title = std::string(rest.substr(0, rest.find('"')));
    return parts;
  }
  QuotedAfter(s, "title=\"", &parts.title);
  QuotedAfter(s, "artist=\"", &parts.artist);
  if (parts.title.empty() && parts.artist.empty()) {
    const std::size_t dash = s.find(" - ");
    if (s.size() > 2 && dash != std::string_view::npos) {
      parts.artist = std::string(s.substr(0, dash));
      parts.title = std::string(s.substr(dash + 3));
    } else {
      parts.title = std::string(s);
    }
  }
  return parts;
}

std::string JoinedStreamTitle(std::string_view stream_title) {
  const ArtistAndTitle parts = SplitStreamTitle(stream_title);
  if (!parts.artist.empty() && !parts.title.empty()) return parts.artist + " - " + parts.title;
  if (!parts.title.empty()) return parts.title;
  return std::string(stream_title);
}

}  // namespace kestrel::stream_meta
