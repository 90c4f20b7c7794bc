#pragma once

#include <string>
#include <vector>

#include "storage/ini_document.h"

// The recent-files list as [RecentFiles] keeps it: File0 … File9, the most recent first.
namespace kestrel {

// File0 to File9 in order, empty values skipped, each cut to 259 characters. A hand-added File10
// is not read.
std::vector<std::string> ReadRecentFiles(const IniDocument& document);

// Clears the section, then writes File0 … for the first ten entries, numbered without gaps. An
// entry that cannot stand on an INI line (a line break in a file name) is left out; false then.
bool WriteRecentFiles(IniDocument& document, const std::vector<std::string>& files);

}  // namespace kestrel
