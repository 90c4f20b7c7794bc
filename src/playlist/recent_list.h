#pragma once

#include <string>
#include <string_view>
#include <vector>

// The recent-files list: the last ten local files played, most recent first, kept in
// Settings::recent_files and written to the settings file by SaveSettings.
namespace kestrel {

// Puts a successfully played local file at the front of `list`, dropping an equal entry further
// down and the eleventh entry. Empty paths and internet addresses (any entry containing "://")
// are ignored. File names differ by case on this system, so entries are compared exactly.
void AddRecentFile(std::vector<std::string>& list, std::string_view path);
// The same on the settings' list.
void AddRecentFile(std::string_view path);

// The menu text of entry `index`: "&<n> <file name>", n being 1-9 then 0 for the tenth. An "&"
// in the file name is doubled so the menu shows it instead of making it a mnemonic.
std::string RecentMenuLabel(int index, std::string_view entry);

}  // namespace kestrel
