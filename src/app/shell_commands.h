#pragma once

#include <cstdint>

// The commands whose whole work is done by the application shell.
namespace kestrel {

void CommandExit(int id, std::int64_t lparam);
void CommandReadme(int id, std::int64_t lparam);
void CommandManual(int id, std::int64_t lparam);
void CommandKeyboardHelp(int id, std::int64_t lparam);
void CommandShuffle(int id, std::int64_t lparam);

}  // namespace kestrel
