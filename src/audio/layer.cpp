#include "audio/layer.h"

#include <thread>

#include "audio/audio_error.h"
#include "audio/mix_probe.h"

namespace kestrel::audio {

Layer& TheLayer() {
  // Never destroyed: threads and callbacks may still look at it while the process exits.
  static auto* layer = new Layer;
  return *layer;
}

Handle NewHandleLocked() {
  Layer& layer = TheLayer();
  if (layer.last_handle == UINT32_MAX) return 0;
  return ++layer.last_handle;
}

std::shared_ptr<Channel> FindChannel(Handle handle) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  auto found = layer.channels.find(handle);
  if (found == layer.channels.end()) {
    Fail(kErrorHandle);
    return nullptr;
  }
  return found->second;
}

std::shared_ptr<Channel> FindPartOwner(Handle part) {
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  auto found = layer.parts.find(part);
  std::shared_ptr<Channel> owner = found == layer.parts.end() ? nullptr : found->second.lock();
  if (!owner) Fail(kErrorHandle);
  return owner;
}

Handle RegisterChannel(std::unique_ptr<Source> source, std::uint32_t flags,
                       const ChannelSetup& setup) {
  Layer& layer = TheLayer();
  const SourceFormat format = source->Format();
  if (format.sample_rate <= 0 || format.sample_rate > 1'000'000) return Fail(kErrorFreq), 0;
  if (format.channels <= 0 || format.channels > 32) return Fail(kErrorFormat), 0;
  const bool decoding = (flags & kStreamDecode) != 0;

  std::lock_guard lock(layer.mutex);
  if (!decoding && !layer.device) return Fail(kErrorInit), 0;
  int slot = -1;
  if (!decoding) {
    for (int i = 0; i < kMaxMixSlots && slot < 0; ++i) {
      if (!layer.slot_taken[static_cast<std::size_t>(i)]) slot = i;
    }
    if (slot < 0) return Fail(kErrorMemory), 0;
  }
  const Handle handle = NewHandleLocked();
  if (handle == 0) return Fail(kErrorCreate), 0;
  auto channel = std::make_shared<Channel>(handle, std::move(source), flags);
  channel->file_name = setup.file_name;
  if (channel->codec.empty()) channel->codec = setup.codec;
  channel->source_channel_to_free = setup.source_channel_to_free;
  if (!decoding) {
    channel->PrepareForPlayback(layer.mix_rate.load(), layer.buffer_ms.load());
    channel->mix_slot = slot;
    layer.slot_taken[static_cast<std::size_t>(slot)] = true;
    layer.played.push_back(channel);
    layer.mix_slots[static_cast<std::size_t>(slot)].store(channel.get());
  }
  layer.channels.emplace(handle, channel);
  ClearError();
  return handle;
}

namespace {
thread_local bool inside_mix_output = false;
std::atomic<std::uint64_t> mix_output_calls{0};
}  // namespace

bool InsideMixOutput() { return inside_mix_output; }
std::uint64_t MixOutputCalls() { return mix_output_calls.load(); }

void MixOutput(float* out, int frames) {
  Layer& layer = TheLayer();
  inside_mix_output = true;
  layer.callback_sequence.fetch_add(1);
  for (int i = 0; i < frames * kOutputChannels; ++i) out[i] = 0.0f;
  for (auto& slot : layer.mix_slots) {
    Channel* channel = slot.load();
    if (channel) ReadIntoMix(*channel, out, frames);
  }
  layer.callback_sequence.fetch_add(1);
  mix_output_calls.fetch_add(1, std::memory_order_relaxed);
  inside_mix_output = false;
}

void WaitForMixCallsToLeave() {
  Layer& layer = TheLayer();
  const std::uint64_t sequence = layer.callback_sequence.load();
  if ((sequence & 1) == 0) return;
  while (layer.callback_sequence.load() == sequence) std::this_thread::yield();
}

MixReadiness CheckMixReadiness(int frames) {
  Layer& layer = TheLayer();
  bool any_playing = false;
  for (auto& slot : layer.mix_slots) {
    Channel* channel = slot.load();
    if (!channel || channel->state.load() != static_cast<int>(PlayState::kPlaying)) continue;
    if (channel->drained.load()) continue;
    any_playing = true;
    if (channel->ring.buffered_frames() < frames && !channel->source_ended.load()) {
      return MixReadiness::kWaitingForData;
    }
  }
  return any_playing ? MixReadiness::kReady : MixReadiness::kNothingPlaying;
}

void WaitForUpdatePass(int timeout_ms) {
  Layer& layer = TheLayer();
  std::unique_lock lock(layer.update_mutex);
  const std::uint64_t seen = layer.update_passes;
  layer.data_ready.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                            [&] { return layer.update_passes != seen || layer.update_stop; });
}

}  // namespace kestrel::audio
