// The update thread: keeps every playing channel's ring filled `BufferMs` ahead, and notices
// when a channel's last block has been heard.
#include <algorithm>
#include <chrono>

#include "audio/layer.h"
#include "audio/sync_dispatcher.h"

namespace kestrel::audio {

namespace {

// The channel's output has been heard to the end: it stops, and its end syncs run.
void ReportEnd(const std::shared_ptr<Channel>& channel) {
  int playing = static_cast<int>(PlayState::kPlaying);
  channel->state.compare_exchange_strong(playing, static_cast<int>(PlayState::kStopped));
  FireSyncs(channel, SyncType::kEnd);
  if (channel->flags & kStreamAutoFree) {
    const Handle handle = channel->handle;
    PostToSyncThread([handle] { FreeStream(handle); });
  }
}

void UpdateLoop() {
  Layer& layer = TheLayer();
  std::vector<std::shared_ptr<Channel>> channels;
  channels.reserve(16);
  for (;;) {
    {
      std::lock_guard lock(layer.mutex);
      channels = layer.played;
    }
    const int mix_rate = std::max(layer.mix_rate.load(), 1);
    const std::int64_t target =
        static_cast<std::int64_t>(layer.buffer_ms.load()) * mix_rate / 1000;
    double wait_ms = layer.update_period_ms.load();
    for (const auto& channel : channels) {
      if (channel->state.load() != static_cast<int>(PlayState::kPlaying)) continue;
      if (channel->drained.load()) {
        if (!channel->end_reported.exchange(true)) ReportEnd(channel);
        continue;
      }
      if (!channel->source_ended.load()) {
        std::lock_guard lock(channel->mutex);
        if (channel->source) FillRing(*channel, target);
      }
      if (channel->source_ended.load()) {
        // Come back when the last block should have been heard, not a whole period later.
        const double left_ms = 1000.0 * channel->ring.buffered_frames() / mix_rate;
        wait_ms = std::min(wait_ms, left_ms + 2.0);
      }
    }
    channels.clear();

    std::unique_lock lock(layer.update_mutex);
    ++layer.update_passes;
    layer.data_ready.notify_all();
    layer.update_wake.wait_for(lock, std::chrono::duration<double, std::milli>(wait_ms),
                               [&] { return layer.update_stop || layer.update_requested; });
    if (layer.update_stop) return;
    layer.update_requested = false;
  }
}

}  // namespace

void StartUpdateThread() {
  Layer& layer = TheLayer();
  {
    std::lock_guard lock(layer.update_mutex);
    layer.update_stop = false;
    layer.update_requested = false;
  }
  layer.update_thread = std::thread(UpdateLoop);
}

void StopUpdateThread() {
  Layer& layer = TheLayer();
  {
    std::lock_guard lock(layer.update_mutex);
    layer.update_stop = true;
  }
  layer.update_wake.notify_all();
  layer.data_ready.notify_all();
  if (layer.update_thread.joinable()) layer.update_thread.join();
}

void WakeUpdateThread() {
  Layer& layer = TheLayer();
  {
    std::lock_guard lock(layer.update_mutex);
    layer.update_requested = true;
  }
  layer.update_wake.notify_all();
}

}  // namespace kestrel::audio
