#pragma once

#include <filesystem>
#include <string_view>

// Finding a running program by name, for screen readers that can only be detected by their
// process.
namespace kestrel {

// Whether a process with this short name (/proc/<pid>/comm, without its line feed) and command
// line (/proc/<pid>/cmdline: arguments each ended by a NUL) runs the program `name`: its short
// name is `name`, its first argument's file name is `name`, or it is a Python interpreter whose
// script has that file name (or whose "-m" module is `name`). Screen readers such as Orca and
// Fenrir are Python programs, so either form can appear.
bool ProcessRunsProgram(std::string_view comm, std::string_view cmdline, std::string_view name);

// Whether any process under proc_root (normally /proc) runs the program `name`. Processes that
// vanish or cannot be read while scanning are skipped.
bool IsProgramRunning(std::string_view name, const std::filesystem::path& proc_root = "/proc");

}  // namespace kestrel
