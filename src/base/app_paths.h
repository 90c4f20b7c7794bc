#pragma once

#include <filesystem>

// Where the program and the user's folders are. The platform-specific answers live in
// app_paths_linux.cpp.
namespace kestrel {

// Full path of the running executable; empty when the system cannot tell.
std::filesystem::path ExecutablePath();
// Folder of the running executable (where "docs" and "installed.txt" lie).
std::filesystem::path ExecutableDir();

enum class UserFolder { Config, Data, State, Cache, Runtime };

// The user's base folder of that kind (XDG variables, or their documented defaults under $HOME).
// Runtime falls back to a private folder in the temporary directory.
std::filesystem::path UserBaseFolder(UserFolder kind);

// <base>/Kestrel for the kind, created when missing (a failure to create is left to the caller's
// first write to report).
std::filesystem::path KestrelFolder(UserFolder kind);

// A per-user key: the numeric user id, used in names shared between this user's processes.
std::string UserKey();

}  // namespace kestrel
