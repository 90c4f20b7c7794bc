#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/attributes.h"
#include "audio/audio_error.h"
#include "audio/source.h"

// The audio layer: an output device, channels behind handles, and what acts on a playing
// channel (DSP hooks, effect slots, syncs, encoders). Every call may be made from any thread
// unless it says otherwise; failures return false / 0 / -1 and set LastError().
//
// A played channel is pulled on the layer's update thread through its source chain, then its
// DSP hooks and effect slots by priority, then rate and volume, into a ring of blocks stamped
// with the source time of their first frame; the device callback only copies out of that ring.
// The heard position is the stamp at the device's read head plus what it consumed of the block,
// less the device's latency.
namespace kestrel::audio {

using Handle = std::uint32_t;  // 0 is never a valid handle; handles are never reused

// ---- output device ------------------------------------------------------------------------

struct DeviceInfo {
  std::string name;
  std::string driver;    // "sdl", "null"
  bool enabled = false;  // can be used now
  bool is_default = false;
  bool initialized = false;
};

// Device 0 is the no-sound device (never offered to users); real devices are 1, 2, ...
// With the environment variable KESTREL_AUDIO=null the layer offers two null devices instead of
// the sound card: "Null output 1" (the default) and "Null output 2".
bool GetDeviceInfo(int device, DeviceInfo* info);

// Starts output on a device (-1: the system default) at the given mix rate. Fails with
// kErrorAlready when already started, kErrorDevice for no such device, kErrorDriver/kErrorInit
// when it cannot start.
bool InitOutput(int device, int mix_rate);
// Stops output and frees every channel. Settings made with SetConfig stay.
bool FreeOutput();
// The device in use, or -1 when output is not started.
int CurrentDevice();
// Latency the device reports, in milliseconds.
double OutputLatencyMs();

enum class Config {
  kBufferMs,           // how far ahead a playing channel is kept (100-5000, default 500)
  kUpdatePeriodMs,     // how often the update thread tops the buffers up (5-500, default 100)
  kVolumeCurve,        // accepted for compatibility; the channel volume is always linear
  kMidiVoices,         // polyphony of new MIDI channels (1-1000, default 128)
  kNetTimeoutMs,       // internet streams: connection time-out
  kNetBufferMs,        // internet streams: buffer length
  kNetPrebufferPercent,// internet streams: buffer filled before playback starts
};
bool SetConfig(Config option, int value);
int GetConfig(Config option);
void SetNetAgent(const std::string& user_agent);
std::string NetAgent();

// ---- the null devices (tests, headless use) ------------------------------------------------

// How fast the null devices' virtual clock runs: 1 is real time, 0 as fast as the update thread
// can mix. Default 1.
void SetNullDeviceSpeed(double speed);
// Writes everything the null device plays (the final mix, 16-bit PCM WAV at the mix rate) to
// this file from now until FreeOutput or another call; an empty path stops writing.
bool SetNullDeviceRecording(const std::string& wav_path);

// ---- channels ------------------------------------------------------------------------------

enum StreamFlag : std::uint32_t {
  kStreamDecode = 1u << 0,       // a decoding channel: read with GetData or by a tempo stream, not played
  kStreamFreeSource = 1u << 1,   // a tempo stream frees its source channel with itself
  kStreamAutoFree = 1u << 2,     // freed by itself when it stops at its end
  kMidiSincInterpolation = 1u << 3,
  kStreamBlock = 1u << 4,        // internet streams: download in small blocks, no seeking
  kStreamStatus = 1u << 5,       // internet streams: keep the HTTP/ICY header blocks
};

// A decoding channel of a local file (any format FFmpeg can read).
Handle CreateFileStream(const std::string& path, std::uint32_t flags);
// A MIDI file synthesised with FluidSynth and the SoundFont set by SetMidiSoundFont.
Handle CreateMidiStream(const std::string& path, std::uint32_t flags);
// A channel over any source; the channel owns it.
Handle CreateSourceStream(std::unique_ptr<Source> source, std::uint32_t flags);

// A channel fed by a callback: it fills `frames` frames of interleaved float and returns how
// many it wrote; `ended` set to true marks the end of the stream. Called on the update thread.
using StreamCallback = std::function<std::int64_t(float* out, std::int64_t frames, bool* ended)>;
Handle CreateUserStream(int sample_rate, int channels, std::uint32_t flags, StreamCallback callback);

// A tempo stream over a decoding channel (SoundTouch). It reports length and position in the
// source's time and passes tag and bitrate requests through to the source.
Handle CreateTempoStream(Handle source, std::uint32_t flags);

// Frees a channel of any kind: waits for its callbacks in flight, then frees what it owns (its
// source, syncs, DSP hooks, effect slots and encoders). False with kErrorHandle for a stale one.
bool FreeStream(Handle channel);

// SoundFont for MIDI channels created from now on; empty unloads. False when it cannot be loaded.
bool SetMidiSoundFont(const std::string& path);
// The codec families this build can decode, for the plug-in report.
struct CodecFamily {
  std::string name;  // "FLAC", "Opus", "WMA", "WavPack", "APE", "ALAC", "MIDI", "CD audio", "DSD", "HLS", "Mixer", "AAC"
  bool available = false;
};
std::vector<CodecFamily> CodecFamilies();

// ---- internet streams ----------------------------------------------------------------------

// An http:// or https:// address read by libcurl (TLS verified) and decoded by FFmpeg on the
// channel's own thread, so the update thread never waits on the network. The network options
// (SetConfig kNet*, SetNetAgent) in force when it is created apply. ICY metadata is taken out of
// the stream: tags kHttp or kIcy (with kStreamStatus) and kMeta, a kMeta sync per new title, a
// kDownloadComplete sync once a finite body has arrived whole. A live stream (no announced
// length, an ICY or a live HLS stream) has no length and cannot seek; a finite one seeks within
// what has been downloaded. After running dry it plays again once kNetPrebufferPercent of the
// buffer has arrived; the first start does not wait for that.
struct UrlStreamOptions {
  bool prefer_aac = false;                    // the first attempt of each pair: ADTS/AAC first
  // Set from another thread: give up at once. Read while opening and for as long as the
  // channel lives (setting it later ends the download), so it must outlive the channel.
  const std::atomic<bool>* cancel = nullptr;
};
// A decoding channel over an http:// or https:// address. Blocks until the format is known
// (never longer than the network time-out); 0 with the last error: kErrorFileOpen (cannot
// connect, status 400 or above, a redirect loop), kErrorTimeout, kErrorSsl, kErrorNoNet (no route
// to any network), kErrorFileForm (not a stream we decode, such as a web page), kErrorCodec,
// kErrorCancelled.
Handle CreateUrlStream(const std::string& url, std::uint32_t flags,
                       const UrlStreamOptions& options = {});

// ---- transport -----------------------------------------------------------------------------

enum class ActiveState { kStopped = 0, kPlaying = 1, kStalled = 2, kPaused = 3 };

bool Play(Handle channel, bool restart);
bool Pause(Handle channel);
bool Stop(Handle channel);
// kStopped also for an invalid handle (and then LastError() is kErrorHandle).
ActiveState IsActive(Handle channel);

// Playing as the user means it: a channel waiting a moment for data (stalled) is still playing.
inline bool IsPlayingState(ActiveState state) {
  return state == ActiveState::kPlaying || state == ActiveState::kStalled;
}

// Positions and lengths in bytes of the channel's own float format (frames × channels × 4) at
// the source's rate, and their conversions.
inline constexpr std::uint32_t kPositionFlush = 1u << 24;  // with SetPosition: drop buffered audio
std::int64_t GetLength(Handle channel);      // -1 when unknown
std::int64_t GetPosition(Handle channel);    // the heard position for played channels
bool SetPosition(Handle channel, std::int64_t bytes, std::uint32_t mode = 0);
double BytesToSeconds(Handle channel, std::int64_t bytes);
std::int64_t SecondsToBytes(Handle channel, double seconds);

struct ChannelInfo {
  int sample_rate = 0;
  int channels = 0;
  std::uint32_t flags = 0;
  std::string codec;     // CodecName of the source
  std::string file_name; // for file streams
};
bool GetInfo(Handle channel, ChannelInfo* info);

bool SetAttribute(Handle channel, Attribute attribute, float value);
bool GetAttribute(Handle channel, Attribute attribute, float* value);

// Decoding channels only: reads the next frames as interleaved float; returns bytes, -1 on error.
std::int64_t GetData(Handle channel, float* out, std::int64_t bytes);

// A raw tag block of the channel's source (tempo streams ask their source).
std::optional<std::string> GetTags(Handle channel, TagBlock block);

// ---- syncs: callbacks on the layer's sync thread -------------------------------------------

enum class SyncType {
  kEnd,              // the played output has ended (the source ended and the ring drained)
  kMeta,             // a new metadata block arrived (internet streams)
  kDownloadComplete, // a finite internet stream has been downloaded whole
};
using SyncCallback = std::function<void(Handle sync, Handle channel)>;
Handle SetSync(Handle channel, SyncType type, bool one_time, SyncCallback callback);
bool RemoveSync(Handle channel, Handle sync);

// ---- processing ------------------------------------------------------------------------------

// A DSP hook works in place on interleaved float before rate and volume. Higher priorities run
// first. Called on the update thread: no allocation, no blocking.
using DspCallback = std::function<void(float* samples, int frames, int channels, int sample_rate)>;
Handle SetDsp(Handle channel, DspCallback callback, int priority);
bool RemoveDsp(Handle channel, Handle dsp);

// An effect slot: an effect object placed in the chain by priority, like a DSP hook, whose
// parameters are set from the user-interface thread.
class Effect {
 public:
  virtual ~Effect() = default;
  virtual void Process(float* samples, int frames, int channels, int sample_rate) = 0;
  virtual void Reset() {}  // after a seek: forget the tail of what was played
};
Handle SetEffect(Handle channel, std::shared_ptr<Effect> effect, int priority);
bool RemoveEffect(Handle channel, Handle effect);

// An encoder tap receives the channel's final output (after DSP, effects, rate and volume). Write
// is called on the update thread and must not block on I/O for long (a file writer buffers and
// writes on its own thread); Finish is called once when the encoder is stopped or its channel
// freed.
class EncoderSink {
 public:
  virtual ~EncoderSink() = default;
  virtual void Write(const float* samples, int frames, int channels, int sample_rate) = 0;
  virtual void Finish() {}
};
Handle StartEncoder(Handle channel, std::unique_ptr<EncoderSink> sink);
bool StopEncoder(Handle encoder);

}  // namespace kestrel::audio
