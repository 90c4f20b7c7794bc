#include "audio/source_events.h"

#include "audio/layer.h"
#include "audio/sync_dispatcher.h"

namespace kestrel::audio {

void ReportSourceEvent(const Source& source, SyncType type) {
  Layer& layer = TheLayer();
  std::weak_ptr<Channel> owner;
  {
    // A registered channel's source is only taken away after FreeStream unregisters it, so it
    // can be compared here without the channel's mutex (which the caller may hold).
    std::lock_guard lock(layer.mutex);
    for (const auto& [handle, channel] : layer.channels) {
      if (channel->source.get() == &source) owner = channel;
    }
  }
  // Collected on the sync thread, never under a lock the caller may hold.
  PostToSyncThread([owner, type] {
    if (auto channel = owner.lock()) FireSyncs(channel, type);
  });
}

}  // namespace kestrel::audio
