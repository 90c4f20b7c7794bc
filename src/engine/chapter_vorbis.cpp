#include "engine/chapter_vorbis.h"

#include <charconv>
#include <cmath>
#include <map>
#include <string>

#include "base/utf8.h"
#include "engine/tag_text.h"

namespace kestrel {
namespace {

// Reads a signed decimal integer at the front of `text` after spaces, as scanf's %d would.
bool TakeInt(std::string_view& text, long long& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc{}) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

// Reads a plain decimal number (no "inf" or "nan") at the front of `text` after spaces.
bool TakeSeconds(std::string_view& text, double& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  std::string_view number = text;
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                            std::chars_format::fixed);
  if (error != std::errc{} || !std::isfinite(value)) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool TakeColon(std::string_view& text) {
  if (text.empty() || text.front() != ':') return false;
  text.remove_prefix(1);
  return true;
}

std::optional<double> HoursMinutesSeconds(std::string_view text) {
  long long hours = 0, minutes = 0;
  double seconds = 0;
  if (!TakeInt(text, hours) || !TakeColon(text) || !TakeInt(text, minutes) || !TakeColon(text) ||
      !TakeSeconds(text, seconds)) {
    return std::nullopt;
  }
  return static_cast<double>(hours) * 3600 + static_cast<double>(minutes) * 60 + seconds;
}

std::optional<double> MinutesSeconds(std::string_view text) {
  long long minutes = 0;
  double seconds = 0;
  if (!TakeInt(text, minutes) || !TakeColon(text) || !TakeSeconds(text, seconds)) {
    return std::nullopt;
  }
  return static_cast<double>(minutes) * 60 + seconds;
}

std::optional<double> SecondsOnly(std::string_view text) {
  double seconds = 0;
  if (!TakeSeconds(text, seconds)) return std::nullopt;
  return seconds;
}

struct VorbisChapter {
  double start = 0;
  std::optional<std::string> name;
};

constexpr std::string_view kChapterWord = "CHAPTER";
constexpr std::string_view kNameWord = "NAME";

// Files the entry "CHAPTERnnn=time" or "CHAPTERnnnNAME=name" into `chapters`; other entries
// are left alone.
void ReadEntry(std::string_view entry, std::map<int, VorbisChapter>& chapters) {
  if (entry.size() <= kChapterWord.size() ||
      !EqualsIgnoreAsciiCase(entry.substr(0, kChapterWord.size()), kChapterWord)) {
    return;
  }
  std::string_view rest = entry.substr(kChapterWord.size());
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  if (digits == 0) return;
  int number = 0;  // a number too large for an int is not a chapter number
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + digits, number);
  if (error != std::errc{} || number <= 0) return;
  rest.remove_prefix(digits);

  if (rest.size() > kNameWord.size() &&
      EqualsIgnoreAsciiCase(rest.substr(0, kNameWord.size()), kNameWord) &&
      rest[kNameWord.size()] == '=') {
    chapters[number].name = tag_text::CleanUtf8(rest.substr(kNameWord.size() + 1));
  } else if (!rest.empty() && rest.front() == '=') {
    chapters[number].start = ParseChapterTime(rest.substr(1)).value_or(0);
  }
}

}  // namespace

std::optional<double> ParseChapterTime(std::string_view text) {
  std::optional<double> seconds = HoursMinutesSeconds(text);
  if (!seconds) seconds = MinutesSeconds(text);
  if (!seconds) seconds = SecondsOnly(text);
  if (!seconds || !std::isfinite(*seconds)) return std::nullopt;
  return *seconds < 0 ? 0 : *seconds;
}

ChapterList ParseVorbisChapters(std::string_view comments, UntitledChapterNamer name_untitled) {
  std::map<int, VorbisChapter> chapters;
  while (!comments.empty()) {
    const std::size_t end = comments.find('\0');
    const std::string_view entry = comments.substr(0, end);
    if (entry.empty()) break;  // the empty entry ends the list
    ReadEntry(entry, chapters);
    if (end == std::string_view::npos) break;
    comments.remove_prefix(end + 1);
  }

  ChapterList list;
  for (auto& [number, chapter] : chapters) {
    if (chapter.start <= 0 && number != 1) continue;
    std::string title = chapter.name ? std::move(*chapter.name)
                                     : name_untitled(number);
    list.push_back({chapter.start, std::move(title)});
  }
  return list;
}

}  // namespace kestrel

namespace kestrel {

std::string EnglishChapterName(int number) { return "Chapter " + std::to_string(number); }

}  // namespace kestrel
