#include "audio/channel.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "audio/audio_error.h"

namespace kestrel::audio {

namespace {

thread_local const Channel* channel_in_process = nullptr;

// Marks the channel as being processed on this thread for the guard's life.
class ProcessingMark {
 public:
  explicit ProcessingMark(const Channel& channel) : previous_(channel_in_process) {
    channel_in_process = &channel;
  }
  ~ProcessingMark() { channel_in_process = previous_; }
  ProcessingMark(const ProcessingMark&) = delete;
  ProcessingMark& operator=(const ProcessingMark&) = delete;

 private:
  const Channel* previous_;
};

// Frames the channel's source must supply for one block at `ratio` source frames per output frame.
int InputFramesForBlock(double ratio) {
  const double wanted = std::ceil(kBlockFrames * ratio) + 3;
  return static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(kMaxReadFrames)));
}

void ApplyVolume(Channel& channel, float* samples, int frames) {
  const float target = channel.volume.load(std::memory_order_relaxed);
  const int channels = channel.format.channels;
  const float start = channel.applied_volume;
  channel.applied_volume = target;
  if (start == target) {
    if (target == 1.0f) return;
    for (int i = 0; i < frames * channels; ++i) samples[i] *= target;
    return;
  }
  // A change glides over the block so it does not click.
  const float step = (target - start) / static_cast<float>(std::max(frames, 1));
  for (int f = 0; f < frames; ++f) {
    const float gain = start + step * static_cast<float>(f + 1);
    for (int c = 0; c < channels; ++c) samples[f * channels + c] *= gain;
  }
}

// Source layout to the stereo mix: mono to both sides, surround folded down (centre and back
// channels at -3 dB, the low-frequency channel of 5.1 and 7.1 left out).
void ToStereo(const float* in, int frames, int channels, float* out) {
  if (channels == 2) {
    std::copy(in, in + frames * 2, out);
    return;
  }
  if (channels == 1) {
    for (int f = 0; f < frames; ++f) out[2 * f] = out[2 * f + 1] = in[f];
    return;
  }
  constexpr float kSide = 0.70710678f;
  const bool has_lfe = channels >= 6;
  for (int f = 0; f < frames; ++f) {
    const float* frame = in + static_cast<std::size_t>(f) * channels;
    float left = frame[0], right = frame[1];
    float left_weight = 1.0f, right_weight = 1.0f;
    if (channels >= 3) {
      left += kSide * frame[2];
      right += kSide * frame[2];
      left_weight += kSide;
      right_weight += kSide;
    }
    for (int c = 3; c < channels; ++c) {
      if (has_lfe && c == 3) continue;
      const bool to_left = ((c - (has_lfe ? 4 : 3)) % 2) == 0;
      (to_left ? left : right) += kSide * frame[c];
      (to_left ? left_weight : right_weight) += kSide;
    }
    out[2 * f] = left / left_weight;
    out[2 * f + 1] = right / right_weight;
  }
}

void FeedEncoders(Channel& channel, const float* samples, int frames, int sample_rate) {
  for (auto& encoder : channel.encoders) {
    encoder.sink->Write(samples, frames, channel.format.channels, sample_rate);
  }
}

// Reads from the source. -1: it stalled (a live source has nothing yet); 0: it ended.
std::int64_t ReadSource(Channel& channel, float* out, std::int64_t frames) {
  const std::int64_t got = channel.source->Read(out, frames);
  if (got > 0) return std::min(got, frames);
  if (got < 0 && LastError() == kErrorNotAvailable) return -1;
  return 0;
}

}  // namespace

Channel::Channel(Handle handle_value, std::unique_ptr<Source> owned, std::uint32_t flag_bits)
    : handle(handle_value),
      flags(flag_bits),
      format(owned->Format()),
      source(std::move(owned)),
      frequency(static_cast<float>(format.sample_rate)) {
  codec = source->CodecName();
  const double start = NextSourceFrame(*this);
  heard_frame.store(start);
  position_floor.store(start);
}

void Channel::PrepareForPlayback(int rate, int buffer_ms) {
  mix_rate = rate;
  const std::int64_t buffer_frames = static_cast<std::int64_t>(buffer_ms) * rate / 1000;
  const int blocks = static_cast<int>(buffer_frames / kBlockFrames) + 3;
  ring.Allocate(blocks, kBlockCapacity, kOutputChannels);
  read_buffer.assign(static_cast<std::size_t>(kMaxReadFrames) * format.channels, 0.0f);
  rate_buffer.assign(static_cast<std::size_t>(kBlockCapacity) * format.channels, 0.0f);
  resampler.Configure(format.channels, kMaxReadFrames);
}

double NextSourceFrame(const Channel& channel) {
  return channel.source->NextFrameSeconds() * channel.source_rate();
}

void RunChain(Channel& channel, float* samples, int frames) {
  for (auto& entry : channel.chain) {
    if (entry.dsp) {
      entry.dsp(samples, frames, channel.format.channels, channel.format.sample_rate);
    } else if (entry.effect) {
      entry.effect->Process(samples, frames, channel.format.channels, channel.format.sample_rate);
    }
  }
}

bool ProcessingOnThisThread(const Channel& channel) { return channel_in_process == &channel; }

void FillRing(Channel& channel, std::int64_t target_frames) {
  const ProcessingMark mark(channel);
  target_frames = std::min(target_frames, channel.ring.capacity_frames());
  const int channels = channel.format.channels;
  while (!channel.source_ended.load(std::memory_order_relaxed) &&
         channel.ring.buffered_frames() < target_frames) {
    StampedBlock* block = channel.ring.WritableBlock();
    if (!block) return;
    const double ratio =
        static_cast<double>(channel.frequency.load(std::memory_order_relaxed)) / channel.mix_rate;
    float* out = nullptr;
    int produced = 0;
    double first = 0, end = 0;
    if (ratio == 1.0 && channel.resampler.Clean()) {
      // The same rate in and out: frames pass untouched, stamped exactly.
      first = NextSourceFrame(channel);
      const std::int64_t got = ReadSource(channel, channel.read_buffer.data(), kBlockFrames);
      if (got < 0) return;
      if (got == 0) {
        channel.source_ended.store(true, std::memory_order_release);
        return;
      }
      end = NextSourceFrame(channel);
      out = channel.read_buffer.data();
      produced = static_cast<int>(got);
      RunChain(channel, out, produced);
    } else {
      Resampler& resampler = channel.resampler;
      if (!resampler.Drained()) {
        const int wanted = std::min(InputFramesForBlock(ratio) - resampler.pending_frames(),
                                    resampler.free_frames());
        if (wanted > 0) {
          const double start = NextSourceFrame(channel);
          const std::int64_t got = ReadSource(channel, channel.read_buffer.data(), wanted);
          if (got < 0) return;
          if (got == 0) {
            resampler.MarkEnd();
          } else {
            const double stop = NextSourceFrame(channel);
            RunChain(channel, channel.read_buffer.data(), static_cast<int>(got));
            resampler.Push(channel.read_buffer.data(), static_cast<int>(got), start,
                           (stop - start) / static_cast<double>(got));
          }
        }
      }
      out = channel.rate_buffer.data();
      produced = resampler.Pull(out, kBlockFrames, ratio, &first, &end);
      if (produced == 0) {
        if (resampler.Drained()) {
          channel.source_ended.store(true, std::memory_order_release);
          return;
        }
        continue;  // it needs more input first
      }
    }
    ApplyVolume(channel, out, produced);
    FeedEncoders(channel, out, produced, channel.mix_rate);
    ToStereo(out, produced, channels, block->samples);
    block->frames = produced;
    block->start_frame = first;
    block->end_frame = end;
    channel.ring.CommitWrite();
  }
}

void ReadIntoMix(Channel& channel, float* out, int frames) {
  if (channel.state.load(std::memory_order_acquire) != static_cast<int>(PlayState::kPlaying)) {
    return;
  }
  // A seek holds the flag for a moment: then this channel is silent for one period.
  if (channel.reader_busy.test_and_set(std::memory_order_acquire)) return;
  const bool ended = channel.source_ended.load(std::memory_order_acquire);
  double position = 0, step = 0;
  const int got = channel.ring.ReadAdd(out, frames, &position, &step);
  if (got > 0) {
    channel.heard_frame.store(position, std::memory_order_relaxed);
    channel.heard_step.store(step, std::memory_order_relaxed);
  }
  if (got < frames) {
    if (ended && channel.ring.Empty()) {
      channel.drained.store(true, std::memory_order_release);
    } else {
      channel.underrun.store(true, std::memory_order_relaxed);
    }
  } else {
    channel.underrun.store(false, std::memory_order_relaxed);
  }
  channel.reader_busy.clear(std::memory_order_release);
}

void FlushPlayback(Channel& channel, double frame) {
  channel.resampler.Reset();
  channel.applied_volume = channel.volume.load(std::memory_order_relaxed);
  for (auto& entry : channel.chain) {
    if (entry.effect) entry.effect->Reset();
  }
  while (channel.reader_busy.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  channel.ring.Reset();
  channel.heard_frame.store(frame);
  channel.position_floor.store(frame);
  channel.source_ended.store(false);
  channel.drained.store(false);
  channel.underrun.store(false);
  channel.end_reported.store(false);
  channel.reader_busy.clear(std::memory_order_release);
}

std::int64_t ReadDecoded(Channel& channel, float* out, std::int64_t frames) {
  const ProcessingMark mark(channel);
  std::int64_t total = 0;
  const int channels = channel.format.channels;
  while (total < frames) {
    float* at = out + total * channels;
    const std::int64_t got = ReadSource(channel, at, frames - total);
    if (got < 0) break;
    if (got == 0) {
      channel.decode_ended = true;
      break;
    }
    // The chain takes int frame counts; a huge request is processed in pieces.
    for (std::int64_t done = 0; done < got;) {
      const int piece = static_cast<int>(std::min<std::int64_t>(got - done, 1 << 20));
      RunChain(channel, at + done * channels, piece);
      FeedEncoders(channel, at + done * channels, piece, channel.format.sample_rate);
      done += piece;
    }
    total += got;
  }
  return total;
}

}  // namespace kestrel::audio
