#include "storage/ini_document.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/utf8.h"

namespace kestrel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsQuote(char ch) { return ch == '"' || ch == '\''; }

bool IsEnclosedInQuotes(std::string_view text) {
  return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

bool IsComment(std::string_view trimmed) {
  return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// "[Name]" with blanks allowed around; the name runs to the last "]" so names holding "]" work.
std::optional<std::string_view> HeaderName(std::string_view line) {
  std::string_view text = Trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const std::size_t close = text.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;  // a broken header is an ordinary line
  return Trim(text.substr(1, close - 1));
}

// The key name of a key line ("Name=Value", or "Name" alone); nullopt for blank and comment lines.
std::optional<std::string_view> KeyName(std::string_view line) {
  std::string_view text = Trim(line);
  if (text.empty() || IsComment(text)) return std::nullopt;
  std::string_view name = Trim(text.substr(0, text.find('=')));
  if (name.empty()) return std::nullopt;
  return name;
}

std::string KeyValue(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  std::string_view value = Trim(line.substr(equals + 1));
  if (IsEnclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool HoldsLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsWritableSectionName(std::string_view name) {
  return !Trim(name).empty() && !HoldsLineBreakOrNul(name);
}

bool IsWritableKeyName(std::string_view name) {
  const std::string_view trimmed = Trim(name);
  return !trimmed.empty() && !HoldsLineBreakOrNul(name) &&
         trimmed.find('=') == std::string_view::npos && !IsComment(trimmed) &&
         trimmed.front() != '[';
}

// A value that loses its end blanks or a pair of quotes on reading is protected by quotes.
std::string WrittenValue(std::string_view value) {
  const bool needs_quotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                               IsEnclosedInQuotes(value));
  if (!needs_quotes) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}

}  // namespace

void IniDocument::Section::Reindex() {
  first_key_line.clear();
  end_of_keys = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = KeyName(lines[i])) {
      first_key_line.emplace(AsciiLower(*name), i);  // emplace keeps the first duplicate
      end_of_keys = i + 1;
    }
  }
}

IniDocument::IniDocument() : sections_(1) {}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument document;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    document.bom_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }

  bool first_line_end = true;
  std::size_t position = 0;
  while (position < bytes.size()) {
    const std::size_t newline = bytes.find('\n', position);
    std::string_view line = bytes.substr(
        position, newline == std::string_view::npos ? std::string_view::npos : newline - position);
    if (newline != std::string_view::npos && first_line_end) {
      document.crlf_ = !line.empty() && line.back() == '\r';
      first_line_end = false;
    }
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (auto name = HeaderName(line)) {
      Section section;
      section.has_header = true;
      section.header = std::string(line);
      section.folded_name = AsciiLower(*name);
      document.sections_.push_back(std::move(section));
    } else {
      document.sections_.back().lines.emplace_back(line);
    }

    if (newline == std::string_view::npos) break;
    position = newline + 1;
  }

  for (Section& section : document.sections_) section.Reindex();
  return document;
}

std::string IniDocument::Serialize() const {
  const std::string_view line_end = crlf_ ? "\r\n" : "\n";
  std::string out;
  if (bom_) out += kByteOrderMark;
  for (const Section& section : sections_) {
    if (section.has_header) {
      out += section.header;
      out += line_end;
    }
    for (const std::string& line : section.lines) {
      out += line;
      out += line_end;
    }
  }
  return out;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
  const std::string folded = AsciiLower(Trim(name));
  for (const Section& section : sections_) {
    if (section.has_header && section.folded_name == folded) return &section;
  }
  return nullptr;
}

IniDocument::Section* IniDocument::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindSection(section) != nullptr;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  auto it = found->first_key_line.find(AsciiLower(Trim(key)));
  if (it == found->first_key_line.end()) return std::nullopt;
  return KeyValue(found->lines[it->second]);
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  const Section* found = FindSection(section);
  if (!found) return entries;
  for (std::size_t i = 0; i < found->lines.size(); ++i) {
    const auto name = KeyName(found->lines[i]);
    if (!name) continue;
    const auto first = found->first_key_line.find(AsciiLower(*name));
    if (first != found->first_key_line.end() && first->second == i) {
      entries.emplace_back(std::string(*name), KeyValue(found->lines[i]));
    }
  }
  return entries;
}

bool IniDocument::CanHoldValue(std::string_view value) { return !HoldsLineBreakOrNul(value); }

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsWritableSectionName(section) || !IsWritableKeyName(key) || HoldsLineBreakOrNul(value)) {
    return false;
  }
  const std::string written = WrittenValue(value);

  Section* target = FindSection(section);
  if (!target) {
    // Keep a blank line between the last section and the new one.
    Section& last = sections_.back();
    const bool empty_document = sections_.size() == 1 && last.lines.empty();
    if (!empty_document &&
        (last.lines.empty() ? last.has_header : !Trim(last.lines.back()).empty())) {
      last.lines.emplace_back();
    }
    Section added;
    added.has_header = true;
    added.header = "[" + std::string(Trim(section)) + "]";
    added.folded_name = AsciiLower(Trim(section));
    sections_.push_back(std::move(added));
    target = &sections_.back();
  }

  const std::string folded_key = AsciiLower(Trim(key));
  if (auto it = target->first_key_line.find(folded_key); it != target->first_key_line.end()) {
    std::string& line = target->lines[it->second];
    line = std::string(*KeyName(line)) + "=" + written;  // the name keeps the file's spelling
    return true;
  }
  // Only non-key lines follow end_of_keys, so the indices already in the map stay right.
  const std::size_t at = target->end_of_keys;
  target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(at),
                       std::string(Trim(key)) + "=" + written);
  target->first_key_line.emplace(folded_key, at);
  target->end_of_keys = at + 1;
  return true;
}

bool IniDocument::Erase(std::string_view section, std::string_view key) {
  const std::string folded_section = AsciiLower(Trim(section));
  const std::string folded_key = AsciiLower(Trim(key));
  bool erased = false;
  for (Section& candidate : sections_) {
    if (!candidate.has_header || candidate.folded_name != folded_section) continue;
    const std::size_t before = candidate.lines.size();
    std::erase_if(candidate.lines, [&](const std::string& line) {
      const auto name = KeyName(line);
      return name && AsciiLower(*name) == folded_key;
    });
    if (candidate.lines.size() != before) {
      erased = true;
      candidate.Reindex();
    }
  }
  return erased;
}

void IniDocument::ClearSection(std::string_view section) {
  const std::string folded = AsciiLower(Trim(section));
  for (Section& candidate : sections_) {
    if (!candidate.has_header || candidate.folded_name != folded) continue;
    std::erase_if(candidate.lines,
                  [](const std::string& line) { return KeyName(line).has_value(); });
    candidate.Reindex();
  }
}

void IniDocument::DeleteSection(std::string_view section) {
  const std::string folded = AsciiLower(Trim(section));
  // Index 0 is the header-less start of the file, never a named section.
  for (std::size_t i = sections_.size(); i-- > 1;) {
    if (!sections_[i].has_header || sections_[i].folded_name != folded) continue;
    std::vector<std::string> comments;
    for (std::string& line : sections_[i].lines) {
      if (IsComment(Trim(line))) comments.push_back(std::move(line));
    }
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
    std::vector<std::string>& before = sections_[i - 1].lines;
    before.insert(before.end(), std::make_move_iterator(comments.begin()),
                  std::make_move_iterator(comments.end()));
  }
}

}  // namespace kestrel
