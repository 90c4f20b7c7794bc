#pragma once

#include <filesystem>
#include <string_view>

// The diagnostic log: one line per entry, appended whole, rotated past about one megabyte.
namespace kestrel {

// Starts logging to <folder>/kestrel.log; with no folder, the user's state folder for Kestrel.
void StartLogger(const std::filesystem::path& folder = {});
void StopLogger();

void LogText(std::string_view category, std::string_view message);
void LogFormat(const char* category, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The current log file (empty before the first start).
std::filesystem::path LogPath();

}  // namespace kestrel
