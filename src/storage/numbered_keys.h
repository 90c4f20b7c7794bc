#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ini_document.h"

// Lists kept in the settings file as numbered keys: "File0", "File1", … or "Hotkey0", … below a
// count. The program writes the number with "%d", so a key is looked up by exactly that spelling
// ("File01" is not entry 1), the prefix as any key name without regard to case.
namespace kestrel {

struct NumberedValue {
  int index = 0;
  std::string value;  // cut to the list's length
};

// The number of a key named <prefix><n>, n written as "%d" writes a non-negative int.
std::optional<int> NumberedKeyIndex(std::string_view key, std::string_view prefix);

// The values of the keys <prefix>0 … <prefix><count - 1> that the section holds, by number.
// Only the keys present are visited, so a hand-edited count of two billion costs nothing.
std::vector<NumberedValue> ReadNumberedValues(const IniDocument& document,
                                              std::string_view section, std::string_view prefix,
                                              long long count, std::size_t max_length);

// "<prefix><index>".
std::string NumberedKey(std::string_view prefix, long long index);

}  // namespace kestrel
