#pragma once

#include <string>
#include <vector>

namespace kestrel {

// An item the player accepts from a command line or another start: an existing file or folder,
// or an http(s) address.
bool IsAcceptableItem(const std::string& item);

// A playlist file stands for its entries, a folder for the playable files under it; anything
// else is one item.
std::vector<std::string> ExpandItem(const std::string& item);

// The acceptable arguments after the program name, in order; the others are skipped.
std::vector<std::string> CommandLineItems(int argc, char** argv);

}  // namespace kestrel
