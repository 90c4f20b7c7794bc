#pragma once

#include <filesystem>
#include <string_view>

// Where Kestrel.ini lives, with the inputs of the decision passed in so it can be checked
// without moving the executable.
namespace kestrel {

// An installed copy: "installed.txt" (file or folder) lies beside the executable, or the
// executable's folder cannot be written (a packaged program in a system folder). A folder that
// cannot be told counts as installed, so nothing is written next to an unknown program.
bool IsInstalledCopyAt(const std::filesystem::path& executable_dir);

// A non-empty kestrel_home wins: <kestrel_home>/Kestrel.ini, the folder created when missing.
// Otherwise an installed copy uses <configuration folder>/Kestrel/Kestrel.ini and a portable
// one Kestrel.ini beside the executable.
std::filesystem::path ChooseSettingsPath(std::string_view kestrel_home,
                                         const std::filesystem::path& executable_dir);

}  // namespace kestrel
