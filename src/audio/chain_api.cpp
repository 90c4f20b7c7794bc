// DSP hooks, effect slots and encoder taps on a channel.
#include <algorithm>

#include "audio/layer.h"

namespace kestrel::audio {

namespace {

// Registers a part handle for the channel; 0 with the last error when none is left.
Handle NewPartHandle(const std::shared_ptr<Channel>& channel) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  const Handle part = NewHandleLocked();
  if (part == 0) return Fail(kErrorCreate), 0;
  layer.parts.emplace(part, channel);
  return part;
}

void ForgetPartHandle(Handle part) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  layer.parts.erase(part);
}

// Higher priorities run first; among equal priorities, the one set first runs first.
Handle AddToChain(Handle handle, ChainEntry entry) {
  auto channel = FindChannel(handle);
  if (!channel) return 0;
  entry.handle = NewPartHandle(channel);
  if (entry.handle == 0) return 0;
  std::lock_guard lock(channel->mutex);
  auto& chain = channel->chain;
  auto place = std::find_if(chain.begin(), chain.end(), [&](const ChainEntry& existing) {
    return existing.priority < entry.priority;
  });
  const Handle added = entry.handle;
  chain.insert(place, std::move(entry));
  ClearError();
  return added;
}

// Removes a DSP hook (`want_effect` false) or an effect slot; once this returns it is not
// called again.
bool RemoveFromChain(Handle handle, Handle part, bool want_effect) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  ChainEntry removed;
  {
    std::lock_guard lock(channel->mutex);
    auto& chain = channel->chain;
    auto found = std::find_if(chain.begin(), chain.end(), [&](const ChainEntry& entry) {
      return entry.handle == part && (entry.effect != nullptr) == want_effect;
    });
    if (found == chain.end()) return Fail(kErrorHandle);
    removed = std::move(*found);
    chain.erase(found);
  }
  ForgetPartHandle(part);
  ClearError();
  return true;
}

}  // namespace

Handle SetDsp(Handle handle, DspCallback callback, int priority) {
  if (!callback) return Fail(kErrorIllegalParam), 0;
  return AddToChain(handle, ChainEntry{0, priority, std::move(callback), nullptr});
}

bool RemoveDsp(Handle handle, Handle dsp) { return RemoveFromChain(handle, dsp, false); }

Handle SetEffect(Handle handle, std::shared_ptr<Effect> effect, int priority) {
  if (!effect) return Fail(kErrorIllegalParam), 0;
  return AddToChain(handle, ChainEntry{0, priority, nullptr, std::move(effect)});
}

bool RemoveEffect(Handle handle, Handle effect) { return RemoveFromChain(handle, effect, true); }

Handle StartEncoder(Handle handle, std::unique_ptr<EncoderSink> sink) {
  if (!sink) return Fail(kErrorIllegalParam), 0;
  auto channel = FindChannel(handle);
  if (!channel) return 0;
  const Handle encoder = NewPartHandle(channel);
  if (encoder == 0) return 0;
  std::lock_guard lock(channel->mutex);
  channel->encoders.push_back(EncoderEntry{encoder, std::move(sink)});
  ClearError();
  return encoder;
}

bool StopEncoder(Handle encoder) {
  auto channel = FindPartOwner(encoder);
  if (!channel) return false;
  std::unique_ptr<EncoderSink> sink;
  {
    std::lock_guard lock(channel->mutex);
    auto& encoders = channel->encoders;
    auto found = std::find_if(encoders.begin(), encoders.end(),
                              [&](const EncoderEntry& entry) { return entry.handle == encoder; });
    if (found == encoders.end()) return Fail(kErrorHandle);
    sink = std::move(found->sink);
    encoders.erase(found);
  }
  ForgetPartHandle(encoder);
  sink->Finish();
  ClearError();
  return true;
}

}  // namespace kestrel::audio
