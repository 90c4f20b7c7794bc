// Syncs: callbacks on the sync thread when something happens to a channel.
#include "audio/layer.h"
#include "audio/sync_dispatcher.h"

namespace kestrel::audio {

namespace {

// Runs one sync unless it was removed (or its channel freed) meanwhile. FreeStream waits for
// syncs_running to drop back, so the callback never runs after its channel is gone.
void RunSync(const std::weak_ptr<Channel>& weak_channel, const SyncEntry& sync) {
  Layer& layer = TheLayer();
  std::shared_ptr<Channel> channel;
  {
    std::lock_guard lock(layer.mutex);
    if (!layer.parts.contains(sync.handle)) return;
    channel = weak_channel.lock();
    if (!channel || !layer.channels.contains(channel->handle)) return;
    channel->syncs_running.fetch_add(1);
    if (sync.one_time) layer.parts.erase(sync.handle);
  }
  if (sync.one_time) {
    std::lock_guard lock(channel->mutex);
    std::erase_if(channel->syncs, [&](const SyncEntry& entry) { return entry.handle == sync.handle; });
  }
  (*sync.callback)(sync.handle, channel->handle);
  channel->syncs_running.fetch_sub(1);
  channel->syncs_running.notify_all();
}

}  // namespace

std::vector<SyncEntry> CollectSyncsLocked(Channel& channel, SyncType type) {
  std::vector<SyncEntry> due;
  for (const auto& sync : channel.syncs) {
    if (sync.type == type) due.push_back(sync);
  }
  return due;
}

void PostSyncs(const std::shared_ptr<Channel>& channel, std::vector<SyncEntry> syncs) {
  std::weak_ptr<Channel> weak_channel = channel;
  for (auto& sync : syncs) {
    PostToSyncThread([weak_channel, sync = std::move(sync)] { RunSync(weak_channel, sync); });
  }
}

void FireSyncs(const std::shared_ptr<Channel>& channel, SyncType type) {
  std::vector<SyncEntry> due;
  {
    std::lock_guard lock(channel->mutex);
    due = CollectSyncsLocked(*channel, type);
  }
  PostSyncs(channel, std::move(due));
}

Handle SetSync(Handle handle, SyncType type, bool one_time, SyncCallback callback) {
  if (!callback) return Fail(kErrorIllegalParam), 0;
  auto channel = FindChannel(handle);
  if (!channel) return 0;
  Layer& layer = TheLayer();
  Handle sync = 0;
  {
    std::lock_guard lock(layer.mutex);
    sync = NewHandleLocked();
    if (sync == 0) return Fail(kErrorCreate), 0;
    layer.parts.emplace(sync, channel);
  }
  std::lock_guard lock(channel->mutex);
  channel->syncs.push_back(
      SyncEntry{sync, type, one_time, std::make_shared<SyncCallback>(std::move(callback))});
  ClearError();
  return sync;
}

bool RemoveSync(Handle handle, Handle sync) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  {
    std::lock_guard lock(channel->mutex);
    if (std::erase_if(channel->syncs, [&](const SyncEntry& entry) { return entry.handle == sync; }) ==
        0) {
      return Fail(kErrorHandle);
    }
  }
  Layer& layer = TheLayer();
  std::lock_guard lock(layer.mutex);
  layer.parts.erase(sync);
  ClearError();
  return true;
}

}  // namespace kestrel::audio
