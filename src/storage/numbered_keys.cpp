#include "storage/numbered_keys.h"

#include <algorithm>
#include <climits>

#include "base/utf8.h"
#include "storage/ini_values.h"

namespace kestrel {

std::optional<int> NumberedKeyIndex(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() || !EqualsIgnoreAsciiCase(key.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  const std::string_view digits = key.substr(prefix.size());
  if (digits.size() > 10 || (digits.size() > 1 && digits.front() == '0')) return std::nullopt;
  long long number = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return std::nullopt;
    number = number * 10 + (ch - '0');
  }
  if (number > INT_MAX) return std::nullopt;
  return static_cast<int>(number);
}

std::vector<NumberedValue> ReadNumberedValues(const IniDocument& document,
                                              std::string_view section, std::string_view prefix,
                                              long long count, std::size_t max_length) {
  std::vector<NumberedValue> values;
  for (auto& [key, value] : document.Entries(section)) {
    const std::optional<int> index = NumberedKeyIndex(key, prefix);
    if (index && *index < count) values.push_back({*index, CutToCharacters(value, max_length)});
  }
  // Keys that differ only in case were folded to one entry by Entries, so numbers are unique.
  std::sort(values.begin(), values.end(),
            [](const NumberedValue& a, const NumberedValue& b) { return a.index < b.index; });
  return values;
}

std::string NumberedKey(std::string_view prefix, long long index) {
  return std::string(prefix) + FormatInt(index);
}

}  // namespace kestrel
