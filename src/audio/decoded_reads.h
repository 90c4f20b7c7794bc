#pragma once

#include <cstdint>
#include <memory>

#include "audio/channel.h"
#include "audio/source.h"

// Reading a decoding channel: by GetData, or by a stream built over it (a tempo stream).
namespace kestrel::audio {

// Reads the next frames of a decoding channel through its chain; runs its end syncs when it
// reaches the end. Returns frames read; 0 at the end (`ended` set) or when nothing is there yet.
std::int64_t PullDecoded(const std::shared_ptr<Channel>& channel, float* out, std::int64_t frames,
                         bool* ended);

// A Source that reads a decoding channel, so another channel can be built over it. Seeking,
// length, tags and attributes go to the channel's own source. Once the channel is freed, it
// reads as ended.
std::unique_ptr<Source> MakeDecodingChannelReader(std::shared_ptr<Channel> channel);

}  // namespace kestrel::audio
