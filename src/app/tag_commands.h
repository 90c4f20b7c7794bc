#pragma once

#include <cstdint>

// The keys that speak or show the tags of what plays: 0-9, Shift+0-9, and "speak now playing".
namespace kestrel {

void CommandSpeakNowPlaying(int id, std::int64_t lparam);
void CommandSpeakTag(int id, std::int64_t lparam);
void CommandShowTag(int id, std::int64_t lparam);

}  // namespace kestrel
