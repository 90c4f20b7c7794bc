#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "audio/audio.h"
#include "audio/channel.h"
#include "audio/output_device.h"

// The layer's process-wide state: the handle registry, the output device, the mix slots the
// device callback reads, the update thread and the configuration.
namespace kestrel::audio {

inline constexpr int kMaxMixSlots = 256;

struct Layer {
  // Guards the registry, `played`, the slot bookkeeping and the output fields. Never held
  // while taking a channel's mutex (the other way round is allowed).
  std::mutex mutex;
  std::uint32_t last_handle = 0;
  std::unordered_map<Handle, std::shared_ptr<Channel>> channels;
  // DSP hooks, effect slots, syncs and encoders: handle -> owning channel.
  std::unordered_map<Handle, std::weak_ptr<Channel>> parts;
  std::vector<std::shared_ptr<Channel>> played;  // channels the update thread fills
  std::array<bool, kMaxMixSlots> slot_taken{};

  std::unique_ptr<OutputDevice> device;
  int device_index = -1;
  std::atomic<int> mix_rate{0};
  std::atomic<double> latency_ms{0};

  // Read by the device callback without a lock.
  std::array<std::atomic<Channel*>, kMaxMixSlots> mix_slots{};
  std::atomic<std::uint64_t> callback_sequence{0};  // odd while a mix call runs

  // The update thread.
  std::thread update_thread;
  std::mutex update_mutex;
  std::condition_variable update_wake;
  bool update_stop = false;
  bool update_requested = false;
  // Signalled after every update pass, for the null device's fast clock.
  std::condition_variable data_ready;
  std::uint64_t update_passes = 0;

  // Configuration (SetConfig), kept across FreeOutput.
  std::atomic<int> buffer_ms{500};
  std::atomic<int> update_period_ms{100};
  std::atomic<int> volume_curve{0};
  std::atomic<int> midi_voices{128};
  std::atomic<int> net_timeout_ms{5000};
  std::atomic<int> net_buffer_ms{5000};
  std::atomic<int> net_prebuffer_percent{75};
  std::atomic<double> null_speed{1.0};
  std::string net_agent;       // under mutex
  std::string midi_soundfont;  // under mutex
};

Layer& TheLayer();

// A new handle, never given before; 0 when all 2^32-1 are spent. Call with TheLayer().mutex held.
Handle NewHandleLocked();

// The live channel, or nullptr with kErrorHandle.
std::shared_ptr<Channel> FindChannel(Handle handle);
// The channel owning a DSP hook / effect / sync / encoder handle, or nullptr with kErrorHandle.
std::shared_ptr<Channel> FindPartOwner(Handle part);

// What a new channel knows besides its source.
struct ChannelSetup {
  std::string file_name;
  std::string codec;                   // used when the source names none
  Handle source_channel_to_free = 0;  // freed together with the new channel
};

// Registers a channel (and, for played channels, gives it a mix slot). Returns its handle, or 0
// with the last error set.
Handle RegisterChannel(std::unique_ptr<Source> source, std::uint32_t flags,
                       const ChannelSetup& setup = {});

// The device callback: fills `frames` stereo frames with the mix of every playing channel.
// Never allocates, never waits on a lock.
void MixOutput(float* out, int frames);

// What the null device's fast clock waits for before mixing `frames` frames.
enum class MixReadiness { kNothingPlaying, kReady, kWaitingForData };
MixReadiness CheckMixReadiness(int frames);
// Waits until the update thread has made another pass (or the time-out passed).
void WaitForUpdatePass(int timeout_ms);

// Waits until no mix call that could have seen a removed slot is still running.
void WaitForMixCallsToLeave();

void StartUpdateThread();
void StopUpdateThread();
void WakeUpdateThread();

// The channel's syncs of a type, to be run; call with channel.mutex held.
std::vector<SyncEntry> CollectSyncsLocked(Channel& channel, SyncType type);
// Runs them on the sync thread (without channel.mutex held).
void PostSyncs(const std::shared_ptr<Channel>& channel, std::vector<SyncEntry> syncs);
// Both: runs a channel's syncs of this type on the sync thread.
void FireSyncs(const std::shared_ptr<Channel>& channel, SyncType type);

}  // namespace kestrel::audio
