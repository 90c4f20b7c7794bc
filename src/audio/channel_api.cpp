// Channels: creation and freeing, transport, positions, attributes, data and tags.
#include <algorithm>
#include <cmath>

#include "audio/audio.h"
#include "audio/decoded_reads.h"
#include "audio/layer.h"
#include "audio/sync_dispatcher.h"

namespace kestrel::audio {

namespace {

// Frames made ready by Play and seeks, so the device does not start on an empty ring.
constexpr std::int64_t kPrimeFrames = 2 * kBlockFrames;

bool IsPlaying(const Channel& channel) {
  return channel.state.load() == static_cast<int>(PlayState::kPlaying);
}

// With channel.mutex held: moves the source and the played output to `frame`.
bool SeekLocked(Channel& channel, std::int64_t frame) {
  if (!channel.source) return Fail(kErrorHandle);
  ClearError();
  if (!channel.source->Seek(frame)) return LastError() == kOk ? Fail(kErrorPosition) : false;
  if (channel.decoding()) {
    channel.decode_ended = false;
  } else {
    FlushPlayback(channel, static_cast<double>(frame));
  }
  return true;
}

// With channel.mutex held: the first blocks after a start or a seek.
void PrimeLocked(Channel& channel) {
  if (channel.decoding() || !channel.source) return;
  FillRing(channel, kPrimeFrames);
}

// The source time being heard now, in source frames.
double HeardFrame(const Channel& channel) {
  double heard = channel.heard_frame.load();
  if (IsPlaying(channel) && !channel.drained.load()) {
    const double latency_frames = TheLayer().latency_ms.load() * channel.mix_rate / 1000.0;
    heard -= latency_frames * channel.heard_step.load();
  }
  return std::max(heard, channel.position_floor.load());
}

}  // namespace

Handle CreateSourceStream(std::unique_ptr<Source> source, std::uint32_t flags) {
  if (!source) return Fail(kErrorIllegalParam), 0;
  return RegisterChannel(std::move(source), flags);
}

namespace {

// The second half of freeing: waits for whatever is still running for the channel, then lets
// go of what it owns.
void ReleaseChannel(const std::shared_ptr<Channel>& channel) {
  // Taking the mutex waits for the update thread or a reader in the middle of this channel.
  std::unique_ptr<Source> source;
  std::vector<ChainEntry> chain;
  std::vector<EncoderEntry> encoders;
  {
    std::lock_guard lock(channel->mutex);
    source = std::move(channel->source);
    chain = std::move(channel->chain);
    encoders = std::move(channel->encoders);
    channel->syncs.clear();
  }
  // A sync callback of this channel may be running; one freeing its own channel on the sync
  // thread must not wait for itself.
  if (!OnSyncThread()) {
    for (int running = channel->syncs_running.load(); running != 0;
         running = channel->syncs_running.load()) {
      channel->syncs_running.wait(running);
    }
  }
  for (auto& encoder : encoders) encoder.sink->Finish();
  encoders.clear();
  chain.clear();
  source.reset();
  if (channel->source_channel_to_free != 0) FreeStream(channel->source_channel_to_free);
}

}  // namespace

bool FreeStream(Handle handle) {
  Layer& layer = TheLayer();
  std::shared_ptr<Channel> channel;
  {
    std::lock_guard lock(layer.mutex);
    auto found = layer.channels.find(handle);
    if (found == layer.channels.end()) return Fail(kErrorHandle);
    channel = found->second;
    layer.channels.erase(found);
    std::erase_if(layer.parts, [&](const auto& part) {
      auto owner = part.second.lock();
      return !owner || owner == channel;
    });
    std::erase(layer.played, channel);
  }
  channel->state = static_cast<int>(PlayState::kStopped);
  if (channel->mix_slot >= 0) {
    const auto slot = static_cast<std::size_t>(channel->mix_slot);
    layer.mix_slots[slot].store(nullptr);
    WaitForMixCallsToLeave();
    std::lock_guard lock(layer.mutex);
    layer.slot_taken[slot] = false;
  }
  if (ProcessingOnThisThread(*channel)) {
    // Called from the channel's own DSP, effect, encoder or source: the handle is gone now, the
    // rest waits on the sync thread until that call has returned.
    PostToSyncThread([channel] { ReleaseChannel(channel); });
  } else {
    ReleaseChannel(channel);
  }
  ClearError();
  return true;
}

bool Play(Handle handle, bool restart) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (channel->decoding()) return Fail(kErrorDecode);
  {
    std::lock_guard lock(channel->mutex);
    if (!channel->source) return Fail(kErrorHandle);
    // Playing a channel that has played to its end starts it again.
    if (restart || channel->drained.load()) {
      if (!SeekLocked(*channel, 0)) {
        if (!restart) return Fail(kErrorEnded);
        FlushPlayback(*channel, NextSourceFrame(*channel));  // a live stream goes on from now
      }
    }
    // Nothing heard yet: the volume starts where it is set, without a glide from 1.
    if (channel->ring.buffered_frames() == 0) channel->applied_volume = channel->volume.load();
    PrimeLocked(*channel);
    channel->state = static_cast<int>(PlayState::kPlaying);
  }
  WakeUpdateThread();
  ClearError();
  return true;
}

bool Pause(Handle handle) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (channel->decoding()) return Fail(kErrorDecode);
  int expected = static_cast<int>(PlayState::kPlaying);
  if (!channel->state.compare_exchange_strong(expected, static_cast<int>(PlayState::kPaused))) {
    return Fail(expected == static_cast<int>(PlayState::kPaused) ? kErrorAlready : kErrorNoPlay);
  }
  if (channel->drained.load()) {
    channel->state = static_cast<int>(PlayState::kStopped);
    return Fail(kErrorNoPlay);
  }
  ClearError();
  return true;
}

bool Stop(Handle handle) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (channel->decoding()) return Fail(kErrorDecode);
  // Stopped first, then read what was heard: a mix call in flight may still take a block.
  channel->state = static_cast<int>(PlayState::kStopped);
  WaitForMixCallsToLeave();
  const double heard = HeardFrame(*channel);
  std::lock_guard lock(channel->mutex);
  // What was buffered is dropped; playing again goes on from what was heard last.
  if (channel->source && !channel->drained.load()) {
    const auto frame = static_cast<std::int64_t>(std::llround(heard));
    if (!SeekLocked(*channel, frame)) FlushPlayback(*channel, NextSourceFrame(*channel));
  }
  ClearError();
  return true;
}

ActiveState IsActive(Handle handle) {
  auto channel = FindChannel(handle);
  if (!channel) return ActiveState::kStopped;
  ClearError();
  if (channel->decoding()) {
    std::lock_guard lock(channel->mutex);
    return channel->source && !channel->decode_ended ? ActiveState::kPlaying
                                                     : ActiveState::kStopped;
  }
  switch (static_cast<PlayState>(channel->state.load())) {
    case PlayState::kPaused:
      return ActiveState::kPaused;
    case PlayState::kPlaying:
      if (channel->drained.load()) return ActiveState::kStopped;
      return channel->underrun.load() ? ActiveState::kStalled : ActiveState::kPlaying;
    case PlayState::kStopped:
      break;
  }
  return ActiveState::kStopped;
}

std::int64_t GetLength(Handle handle) {
  auto channel = FindChannel(handle);
  if (!channel) return -1;
  std::lock_guard lock(channel->mutex);
  const std::int64_t frames = channel->source ? channel->source->LengthFrames() : -1;
  if (frames < 0) return Fail(kErrorNotAvailable), -1;
  ClearError();
  return frames * channel->bytes_per_frame();
}

std::int64_t GetPosition(Handle handle) {
  auto channel = FindChannel(handle);
  if (!channel) return -1;
  double frame = 0;
  if (channel->decoding()) {
    std::lock_guard lock(channel->mutex);
    if (!channel->source) return Fail(kErrorHandle), -1;
    frame = NextSourceFrame(*channel);
  } else {
    frame = HeardFrame(*channel);
  }
  ClearError();
  return std::max<std::int64_t>(std::llround(frame), 0) * channel->bytes_per_frame();
}

bool SetPosition(Handle handle, std::int64_t bytes, std::uint32_t /*mode*/) {
  // Every seek drops what was buffered, so kPositionFlush changes nothing here.
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (bytes < 0) return Fail(kErrorPosition);
  const std::int64_t frame = bytes / channel->bytes_per_frame();
  {
    std::lock_guard lock(channel->mutex);
    if (!channel->source) return Fail(kErrorHandle);
    const std::int64_t length = channel->source->LengthFrames();
    if (length >= 0 && frame > length) return Fail(kErrorPosition);
    if (!SeekLocked(*channel, frame)) return false;
    if (IsPlaying(*channel)) PrimeLocked(*channel);
  }
  WakeUpdateThread();
  ClearError();
  return true;
}

double BytesToSeconds(Handle handle, std::int64_t bytes) {
  auto channel = FindChannel(handle);
  if (!channel) return -1;
  ClearError();
  return static_cast<double>(bytes / channel->bytes_per_frame()) / channel->source_rate();
}

std::int64_t SecondsToBytes(Handle handle, double seconds) {
  auto channel = FindChannel(handle);
  if (!channel) return -1;
  if (!std::isfinite(seconds)) return Fail(kErrorIllegalParam), -1;
  ClearError();
  return std::llround(seconds * channel->source_rate()) * channel->bytes_per_frame();
}

bool GetInfo(Handle handle, ChannelInfo* info) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (info) {
    info->sample_rate = channel->format.sample_rate;
    info->channels = channel->format.channels;
    info->flags = channel->flags;
    info->codec = channel->codec;
    info->file_name = channel->file_name;
  }
  ClearError();
  return true;
}

bool SetAttribute(Handle handle, Attribute attribute, float value) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  switch (attribute) {
    case Attribute::kFrequency:
      if (value == 0) value = static_cast<float>(channel->format.sample_rate);  // the original rate
      if (!(value >= 100.0f && value <= 1'000'000.0f)) return Fail(kErrorIllegalParam);
      channel->frequency = value;
      break;
    case Attribute::kVolume:
      if (!(value >= 0.0f) || !std::isfinite(value)) return Fail(kErrorIllegalParam);
      channel->volume = value;
      break;
    case Attribute::kBitrate:
      return Fail(kErrorIllegalType);  // read only
    default: {
      std::lock_guard lock(channel->mutex);
      if (!channel->source) return Fail(kErrorHandle);
      ClearError();
      if (!channel->source->SetAttribute(attribute, value)) {
        return LastError() == kOk ? Fail(kErrorIllegalType) : false;
      }
    }
  }
  ClearError();
  return true;
}

bool GetAttribute(Handle handle, Attribute attribute, float* value) {
  auto channel = FindChannel(handle);
  if (!channel) return false;
  if (!value) return Fail(kErrorIllegalParam);
  switch (attribute) {
    case Attribute::kFrequency:
      *value = channel->frequency.load();
      break;
    case Attribute::kVolume:
      *value = channel->volume.load();
      break;
    default: {
      std::lock_guard lock(channel->mutex);
      if (!channel->source) return Fail(kErrorHandle);
      if (attribute == Attribute::kBitrate) {
        *value = static_cast<float>(channel->source->BitrateKbps());
        break;
      }
      ClearError();
      if (!channel->source->GetAttribute(attribute, value)) {
        return LastError() == kOk ? Fail(kErrorIllegalType) : false;
      }
    }
  }
  ClearError();
  return true;
}

std::int64_t GetData(Handle handle, float* out, std::int64_t bytes) {
  auto channel = FindChannel(handle);
  if (!channel) return -1;
  if (!channel->decoding()) return Fail(kErrorDecode), -1;
  if (!out || bytes < 0) return Fail(kErrorIllegalParam), -1;
  const std::int64_t frames = bytes / channel->bytes_per_frame();
  if (frames == 0) return ClearError(), 0;
  bool ended = false;
  const std::int64_t got = PullDecoded(channel, out, frames, &ended);
  if (got == 0 && ended) return Fail(kErrorEnded), -1;
  ClearError();
  return got * channel->bytes_per_frame();
}

std::optional<std::string> GetTags(Handle handle, TagBlock block) {
  auto channel = FindChannel(handle);
  if (!channel) return std::nullopt;
  std::lock_guard lock(channel->mutex);
  if (!channel->source) return Fail(kErrorHandle), std::nullopt;
  auto tags = channel->source->Tags(block);
  if (!tags) return Fail(kErrorNotAvailable), std::nullopt;
  ClearError();
  return tags;
}

}  // namespace kestrel::audio
