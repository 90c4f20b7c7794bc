#pragma once

#include <filesystem>
#include <functional>

// Opens a document with the program the desktop associates with it (the readme, the manuals).
namespace kestrel {

// False when the file is missing or the desktop could not open it.
bool OpenWithDesktop(const std::filesystem::path& file);

// Tests see the request instead of a program starting. nullptr restores the real opener.
using DesktopOpener = std::function<bool(const std::filesystem::path&)>;
void SetDesktopOpenerForTesting(DesktopOpener opener);

}  // namespace kestrel
