#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/block_ring.h"
#include "audio/resampler.h"

// One channel of the layer: a source, what processes it, and for played channels the ring the
// device callback reads. The update thread fills the ring (FillRing), the device callback
// empties it (ReadIntoMix); the user-interface thread changes the chain and seeks under the
// channel's mutex.
namespace kestrel::audio {

inline constexpr int kOutputChannels = 2;     // the mix is always stereo
inline constexpr int kBlockFrames = 1024;     // output frames produced per ring block
inline constexpr int kBlockCapacity = kBlockFrames + 16;
inline constexpr int kMaxReadFrames = 8192;   // source frames read at once

enum class PlayState : int { kStopped = 0, kPlaying = 1, kPaused = 3 };

// A DSP hook or an effect slot, in the order they run (higher priority first).
struct ChainEntry {
  Handle handle = 0;
  int priority = 0;
  DspCallback dsp;
  std::shared_ptr<Effect> effect;
};

struct SyncEntry {
  Handle handle = 0;
  SyncType type = SyncType::kEnd;
  bool one_time = false;
  std::shared_ptr<SyncCallback> callback;
};

struct EncoderEntry {
  Handle handle = 0;
  std::unique_ptr<EncoderSink> sink;
};

class Channel {
 public:
  Channel(Handle handle, std::unique_ptr<Source> source, std::uint32_t flags);

  bool decoding() const { return (flags & kStreamDecode) != 0; }
  double source_rate() const { return static_cast<double>(format.sample_rate); }
  std::int64_t bytes_per_frame() const { return static_cast<std::int64_t>(format.channels) * 4; }

  // Sizes the ring and the scratch buffers of a played channel for `buffer_ms` at `mix_rate`.
  void PrepareForPlayback(int mix_rate, int buffer_ms);

  const Handle handle;
  const std::uint32_t flags;
  const SourceFormat format;
  std::string file_name;
  std::string codec;
  Handle source_channel_to_free = 0;  // a tempo stream's source, freed with it

  // The source and everything that processes it; held by whoever reads the source.
  std::mutex mutex;
  std::unique_ptr<Source> source;
  std::vector<ChainEntry> chain;
  std::vector<EncoderEntry> encoders;
  std::vector<SyncEntry> syncs;
  Resampler resampler;
  std::vector<float> read_buffer;
  std::vector<float> rate_buffer;
  float applied_volume = 1.0f;
  bool decode_ended = false;  // decoding channels: the last GetData reached the end

  // Shared with the device callback and readers of the state, without a lock.
  std::atomic<int> state{static_cast<int>(PlayState::kStopped)};
  std::atomic<float> frequency;
  std::atomic<float> volume{1.0f};
  BlockRing ring;
  int mix_rate = 0;
  std::atomic<bool> source_ended{false};  // the last block of the source is in the ring
  std::atomic<bool> drained{false};       // the callback has read the last block
  std::atomic<bool> underrun{false};      // the callback found the ring empty before the end
  std::atomic<bool> end_reported{false};
  std::atomic<double> heard_frame{0};     // source time at the callback's read head
  std::atomic<double> heard_step{1};      // source frames per output frame there
  std::atomic<double> position_floor{0};  // the last seek target: nothing earlier is heard after it
  std::atomic_flag reader_busy = ATOMIC_FLAG_INIT;
  int mix_slot = -1;
  std::atomic<int> syncs_running{0};
};

// Runs the DSP hooks and effect slots over `frames` frames of the source's format.
void RunChain(Channel& channel, float* samples, int frames);

// Update thread, with channel.mutex held: tops the ring up to `target_frames`.
void FillRing(Channel& channel, std::int64_t target_frames);

// Device callback: adds the channel's next frames to the stereo mix. Never blocks.
void ReadIntoMix(Channel& channel, float* out, int frames);

// With channel.mutex held: forgets everything buffered after the source; the heard position
// becomes `frame`.
void FlushPlayback(Channel& channel, double frame);

// Decoding channels, with channel.mutex held: the next frames through the chain. Returns the
// frames read; 0 at the end (decode_ended set) or when a live source has nothing yet.
std::int64_t ReadDecoded(Channel& channel, float* out, std::int64_t frames);

// The source time of the next frame the source will give, in source frames.
double NextSourceFrame(const Channel& channel);

// True on a thread that is inside FillRing or ReadDecoded of this channel (so inside one of its
// DSP hooks, effects, encoders or its source), where waiting for the channel would never end.
bool ProcessingOnThisThread(const Channel& channel);

}  // namespace kestrel::audio
