#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// One INI file held as its lines, so that writing a key touches that key's line alone: unknown
// keys, other sections, comments and blank lines come back out unchanged and in order.
//
// Reading follows the classic profile functions: section and key names match without regard to
// ASCII case, blanks around names and values are dropped, one pair of enclosing double or single
// quotes is dropped from a value, and of duplicate sections or keys the first one counts.
namespace kestrel {

class IniDocument {
 public:
  IniDocument();

  // Never fails: every byte sequence is a document (lines that are neither headers nor keys are
  // kept as they are). A UTF-8 byte-order mark is kept; CRLF and LF line ends are both read.
  static IniDocument Parse(std::string_view bytes);
  // The document as file bytes, every line ended in the line-end style the file used (LF for a
  // new document), the byte-order mark back in front when the file had one.
  std::string Serialize() const;

  // The key's value (trimmed, one pair of enclosing quotes dropped); nullopt when the section or
  // key is missing. A key line without "=" has the empty value.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;
  // Every key of the section with its value as Find gives it, in file order (names as spelled
  // in the file; of duplicate keys the first). Empty when the section is missing.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

  // Replaces the value of the key's first line in place; a missing key is added after the last
  // key line of its section, a missing section is appended at the end. A value that would not
  // read back as written (blanks at its ends, enclosing quotes) is written inside double quotes.
  // Returns false, changing nothing, when a name or value cannot be written to an INI line:
  // line breaks or NUL anywhere, an empty name, a key name holding "=" or starting a comment or
  // a section header.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of the key from the section; false when it held none.
  bool Erase(std::string_view section, std::string_view key);
  // Removes every key of the section; the header (and any comment lines) stay.
  void ClearSection(std::string_view section);
  // Removes the section: its header, keys and blank lines. Comment lines in it are kept and
  // end up at the end of the section before it.
  void DeleteSection(std::string_view section);

  // True when Set can write the value (it holds no line break or NUL).
  static bool CanHoldValue(std::string_view value);

  bool uses_crlf() const { return crlf_; }
  bool has_byte_order_mark() const { return bom_; }

 private:
  struct Section {
    bool has_header = false;  // false only for the lines before the first header
    std::string header;       // the header line exactly as read
    std::string folded_name;  // the name, trimmed and ASCII lower case
    std::vector<std::string> lines;
    // Folded key name -> index in `lines` of its first line.
    std::unordered_map<std::string, std::size_t> first_key_line;
    std::size_t end_of_keys = 0;  // index just past the last key line (0: right after the header)

    void Reindex();
  };

  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);

  std::vector<Section> sections_;
  bool bom_ = false;
  bool crlf_ = false;
};

}  // namespace kestrel
