#pragma once

#include <cstdint>

// The commands of transport, seeking and volume.
namespace kestrel {

void CommandStop(int id, std::int64_t lparam);
void CommandPause(int id, std::int64_t lparam);
void CommandSeek(int id, std::int64_t lparam);
void CommandBeginning(int id, std::int64_t lparam);
void CommandJumpToTime(int id, std::int64_t lparam);
void CommandVolume(int id, std::int64_t lparam);
void CommandMute(int id, std::int64_t lparam);
void CommandSpeakTime(int id, std::int64_t lparam);
void CommandCycleSeekUnit(int id, std::int64_t lparam);
void CommandSpeakSeekUnit(int id, std::int64_t lparam);

}  // namespace kestrel
