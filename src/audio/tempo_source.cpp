#include "audio/tempo_source.h"

#include <SoundTouch.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#include "audio/audio_error.h"

// The tempo stream: a SoundTouch stretcher between an input source and the channel that plays
// it. Tempo, pitch and the stretcher's input rate change independently; with all three at their
// neutral values the input is passed through untouched (no latency, bit-identical samples).
//
// Threads: SetAttribute/GetAttribute come from the user-interface thread and only touch atomics;
// Read, Seek and the position queries share the stretcher under one mutex, and Read picks up
// changed attributes at its start, so setting an attribute never waits for a block to be stretched.
namespace kestrel::audio {
namespace {

constexpr std::int64_t kInputBlockFrames = 2048;
// Length of the crossfade that hides the switch between the stretcher and the pass-through.
constexpr double kCrossfadeSeconds = 0.010;
// SoundTouch counts frames in unsigned int; a read asks for no more than this at once.
constexpr std::int64_t kMaxReadFrames = 1 << 24;
// SoundTouch's limit on interleaved channels.
constexpr int kMaxChannels = 16;

struct StretchOptions {
  bool use_anti_alias_filter = true;
  int anti_alias_filter_length = 32;
  bool use_quick_algorithm = false;
  int sequence_ms = 0;     // 0: SoundTouch chooses from the tempo
  int seek_window_ms = 0;  // 0: SoundTouch chooses from the tempo
  int overlap_ms = 8;
  bool prevent_click = false;
};

// SoundTouch throws on an anti-alias filter length that is not a multiple of 8; the nearest
// multiple of 8 within 8..128 is used instead.
int AntiAliasLengthFor(float value) {
  const double clamped = std::clamp(static_cast<double>(value), 8.0, 128.0);
  return static_cast<int>(std::lround(clamped / 8.0)) * 8;
}

int MillisecondsFor(float value) {
  return static_cast<int>(std::lround(std::clamp(static_cast<double>(value), 0.0, 1000.0)));
}

class TempoSource final : public Source {
 public:
  explicit TempoSource(std::shared_ptr<Source> input)
      : input_(std::move(input)),
        format_(input_->Format()),
        frequency_(static_cast<float>(format_.sample_rate)),
        input_block_(static_cast<std::size_t>(kInputBlockFrames * format_.channels)),
        applied_frequency_(format_.sample_rate) {
    stretcher_.setSampleRate(static_cast<unsigned>(format_.sample_rate));
    stretcher_.setChannels(static_cast<unsigned>(format_.channels));
    crossfade_frames_ = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(std::lround(kCrossfadeSeconds * format_.sample_rate)));
    crossfade_tail_.reserve(static_cast<std::size_t>(crossfade_frames_ * format_.channels));
    ApplyOptions(CurrentOptions());
    applied_version_ = version_.load();
  }

  SourceFormat Format() const override { return format_; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    if (frames <= 0) return 0;
    frames = std::min(frames, kMaxReadFrames);
    std::lock_guard lock(mutex_);
    try {
      ApplyPendingAttributes();
      const std::int64_t produced = stretching_ ? ReadStretched(out, frames)
                                                : ReadPassThrough(out, frames);
      if (produced > 0) MixCrossfade(out, produced);
      return produced;
    } catch (const std::bad_alloc&) {
      Fail(kErrorMemory);
      return -1;
    } catch (const std::exception&) {
      Fail(kErrorUnknown);
      return -1;
    }
  }

  bool Seek(std::int64_t frame) override {
    std::lock_guard lock(mutex_);
    if (!input_->Seek(frame)) return false;
    stretcher_.clear();
    input_ended_ = false;
    flushed_ = false;
    draining_ = false;
    crossfade_tail_.clear();
    StartSegment();
    ClearError();
    return true;
  }

  std::int64_t LengthFrames() const override {
    std::lock_guard lock(mutex_);
    return input_->LengthFrames();
  }

  double NextFrameSeconds() const override {
    std::lock_guard lock(mutex_);
    if (!stretching_ && !draining_) return input_->NextFrameSeconds();
    return StretchedPositionSeconds();
  }

  // The input is not asked anything while a block is being read from it.
  std::optional<std::string> Tags(TagBlock block) const override {
    std::lock_guard lock(mutex_);
    return input_->Tags(block);
  }
  double BitrateKbps() const override {
    std::lock_guard lock(mutex_);
    return input_->BitrateKbps();
  }
  std::string CodecName() const override {
    std::lock_guard lock(mutex_);
    return input_->CodecName();
  }

  bool SetAttribute(Attribute attribute, float value) override {
    if (std::isnan(value)) return Fail(kErrorIllegalParam);
    const double sample_rate = format_.sample_rate;
    switch (attribute) {
      case Attribute::kTempo: tempo_ = std::clamp(value, -95.0f, 5000.0f); break;
      case Attribute::kTempoPitch: pitch_ = std::clamp(value, -60.0f, 60.0f); break;
      case Attribute::kTempoFrequency:
        frequency_ = static_cast<float>(
            std::clamp(static_cast<double>(value), sample_rate * 0.05, sample_rate * 50.0));
        break;
      case Attribute::kTempoUseAntiAliasFilter: use_anti_alias_filter_ = value != 0; break;
      case Attribute::kTempoAntiAliasFilterLength:
        anti_alias_filter_length_ = AntiAliasLengthFor(value);
        break;
      case Attribute::kTempoUseQuickAlgorithm: use_quick_algorithm_ = value != 0; break;
      case Attribute::kTempoSequenceMs: sequence_ms_ = MillisecondsFor(value); break;
      case Attribute::kTempoSeekWindowMs: seek_window_ms_ = MillisecondsFor(value); break;
      case Attribute::kTempoOverlapMs: overlap_ms_ = MillisecondsFor(value); break;
      case Attribute::kTempoPreventClick: prevent_click_ = value != 0; break;
      default: return Fail(kErrorIllegalType);
    }
    ++version_;
    ClearError();
    return true;
  }

  bool GetAttribute(Attribute attribute, float* value) const override {
    if (value == nullptr) return Fail(kErrorIllegalParam);
    switch (attribute) {
      case Attribute::kTempo: *value = tempo_; break;
      case Attribute::kTempoPitch: *value = pitch_; break;
      case Attribute::kTempoFrequency: *value = frequency_; break;
      case Attribute::kTempoUseAntiAliasFilter: *value = use_anti_alias_filter_ ? 1.0f : 0.0f; break;
      case Attribute::kTempoAntiAliasFilterLength:
        *value = static_cast<float>(anti_alias_filter_length_.load());
        break;
      case Attribute::kTempoUseQuickAlgorithm: *value = use_quick_algorithm_ ? 1.0f : 0.0f; break;
      case Attribute::kTempoSequenceMs: *value = static_cast<float>(sequence_ms_.load()); break;
      case Attribute::kTempoSeekWindowMs: *value = static_cast<float>(seek_window_ms_.load()); break;
      case Attribute::kTempoOverlapMs: *value = static_cast<float>(overlap_ms_.load()); break;
      case Attribute::kTempoPreventClick: *value = prevent_click_ ? 1.0f : 0.0f; break;
      default: return Fail(kErrorIllegalType);
    }
    ClearError();
    return true;
  }

 private:
  // How many frames of input one frame of output advances through.
  double SpeedFactor() const {
    return (1.0 + applied_tempo_ / 100.0) * (applied_frequency_ / format_.sample_rate);
  }

  StretchOptions CurrentOptions() const {
    StretchOptions options;
    options.use_anti_alias_filter = use_anti_alias_filter_;
    options.anti_alias_filter_length = anti_alias_filter_length_;
    options.use_quick_algorithm = use_quick_algorithm_;
    options.sequence_ms = sequence_ms_;
    options.seek_window_ms = seek_window_ms_;
    options.overlap_ms = overlap_ms_;
    options.prevent_click = prevent_click_;
    return options;
  }

  void ApplyOptions(const StretchOptions& options) {
    stretcher_.setSetting(SETTING_USE_AA_FILTER, options.use_anti_alias_filter ? 1 : 0);
    stretcher_.setSetting(SETTING_AA_FILTER_LENGTH, options.anti_alias_filter_length);
    stretcher_.setSetting(SETTING_USE_QUICKSEEK, options.use_quick_algorithm ? 1 : 0);
    stretcher_.setSetting(SETTING_SEQUENCE_MS, options.sequence_ms);
    stretcher_.setSetting(SETTING_SEEKWINDOW_MS, options.seek_window_ms);
    stretcher_.setSetting(SETTING_OVERLAP_MS, options.overlap_ms);
    applied_prevent_click_ = options.prevent_click;
  }

  // Takes over attributes set since the last Read, and switches between the stretcher and the
  // pass-through when tempo, pitch and frequency reach or leave their neutral values.
  void ApplyPendingAttributes() {
    const unsigned version = version_.load();
    if (version == applied_version_) return;
    applied_version_ = version;
    ApplyOptions(CurrentOptions());

    const double tempo = tempo_;
    const double pitch = pitch_;
    const double frequency = frequency_;
    const bool identity = tempo == 0 && pitch == 0 && frequency == format_.sample_rate;

    if (stretching_) {
      // Close the current stretch segment at the old speed before the new one counts.
      segment_origin_seconds_ = StretchedPositionSeconds();
      segment_output_in_input_frames_ = 0;
    }
    applied_tempo_ = tempo;
    applied_frequency_ = frequency;
    stretcher_.setTempoChange(tempo);
    stretcher_.setPitchSemiTones(pitch);
    stretcher_.setRate(frequency / format_.sample_rate);

    if (identity && stretching_) LeaveStretcher();
    else if (!identity && !stretching_) EnterStretcher();
  }

  void EnterStretcher() {
    stretcher_.clear();
    draining_ = false;
    input_ended_ = false;
    flushed_ = false;
    stretching_ = true;
    StartSegment();
    // The pass-through would have played the next input frames: they become the tail that the
    // first stretched frames fade in over.
    capture_input_tail_ = applied_prevent_click_;
    crossfade_tail_.clear();
  }

  // Goes back in the input to the time the listener has reached and plays on from there
  // untouched.
  void LeaveStretcher() {
    stretching_ = false;
    crossfade_tail_.clear();
    const double position = StretchedPositionSeconds();
    const auto frame = static_cast<std::int64_t>(std::llround(position * format_.sample_rate));
    if (input_->Seek(frame)) {
      if (applied_prevent_click_) TakeStretcherTail();
      stretcher_.clear();
      input_ended_ = false;
      flushed_ = false;
    } else {
      // A live input cannot go back: play what the stretcher has ready, then the input from
      // where it is.
      draining_ = true;
    }
  }

  // The stretcher's next frames, for the pass-through to fade in over.
  void TakeStretcherTail() {
    const auto available = std::min<std::int64_t>(crossfade_frames_, stretcher_.numSamples());
    crossfade_tail_.resize(static_cast<std::size_t>(available * format_.channels));
    const auto got = stretcher_.receiveSamples(crossfade_tail_.data(),
                                               static_cast<unsigned>(available));
    crossfade_tail_.resize(static_cast<std::size_t>(got) * format_.channels);
    crossfade_done_ = 0;
  }

  void StartSegment() {
    segment_origin_seconds_ = input_->NextFrameSeconds();
    segment_output_in_input_frames_ = 0;
  }

  // The input time of the next output frame: where the segment began plus the input the output
  // has gone through at the segment's speed, never past what was fed to the stretcher.
  double StretchedPositionSeconds() const {
    const double position =
        segment_origin_seconds_ + segment_output_in_input_frames_ / format_.sample_rate;
    return std::min(position, input_->NextFrameSeconds());
  }

  std::int64_t ReadPassThrough(float* out, std::int64_t frames) {
    std::int64_t produced = 0;
    if (draining_) {
      produced = stretcher_.receiveSamples(out, static_cast<unsigned>(frames));
      segment_output_in_input_frames_ += static_cast<double>(produced) * SpeedFactor();
      if (stretcher_.numSamples() == 0) {
        draining_ = false;
        stretcher_.clear();
      }
      if (produced == frames) return produced;
    }
    const std::int64_t read = input_->Read(out + produced * format_.channels, frames - produced);
    if (read < 0) return produced > 0 ? produced : -1;
    return produced + read;
  }

  std::int64_t ReadStretched(float* out, std::int64_t frames) {
    const int channels = format_.channels;
    std::int64_t produced = 0;
    while (produced < frames) {
      const auto got = static_cast<std::int64_t>(stretcher_.receiveSamples(
          out + produced * channels, static_cast<unsigned>(frames - produced)));
      if (got > 0) {
        produced += got;
        segment_output_in_input_frames_ += static_cast<double>(got) * SpeedFactor();
        continue;
      }
      if (input_ended_) {
        if (flushed_) break;
        // Push the last input through; SoundTouch pads and trims to the expected length.
        stretcher_.flush();
        flushed_ = true;
        continue;
      }
      const std::int64_t read = input_->Read(input_block_.data(), kInputBlockFrames);
      if (read < 0) return produced > 0 ? produced : -1;
      if (read == 0) {
        input_ended_ = true;
        continue;
      }
      if (capture_input_tail_) {
        const std::int64_t tail = std::min(read, crossfade_frames_);
        crossfade_tail_.assign(input_block_.begin(), input_block_.begin() + tail * channels);
        crossfade_done_ = 0;
        capture_input_tail_ = false;
      }
      stretcher_.putSamples(input_block_.data(), static_cast<unsigned>(read));
    }
    return produced;
  }

  // Fades the newly started path in over the tail of the path it replaced.
  void MixCrossfade(float* out, std::int64_t frames) {
    const int channels = format_.channels;
    const auto tail_frames = static_cast<std::int64_t>(crossfade_tail_.size()) / channels;
    if (crossfade_done_ >= tail_frames) return;
    const std::int64_t count = std::min(frames, tail_frames - crossfade_done_);
    for (std::int64_t i = 0; i < count; ++i) {
      const std::int64_t t = crossfade_done_ + i;
      const float fade_in = static_cast<float>(t + 1) / static_cast<float>(tail_frames + 1);
      for (int c = 0; c < channels; ++c) {
        float& sample = out[i * channels + c];
        sample = sample * fade_in + crossfade_tail_[t * channels + c] * (1.0f - fade_in);
      }
    }
    crossfade_done_ += count;
    if (crossfade_done_ >= tail_frames) crossfade_tail_.clear();
  }

  const std::shared_ptr<Source> input_;
  const SourceFormat format_;

  // Attribute values as last set; read by Read when version_ has moved.
  std::atomic<float> tempo_{0};
  std::atomic<float> pitch_{0};
  std::atomic<float> frequency_;
  std::atomic<bool> use_anti_alias_filter_{true};
  std::atomic<int> anti_alias_filter_length_{32};
  std::atomic<bool> use_quick_algorithm_{false};
  std::atomic<int> sequence_ms_{0};
  std::atomic<int> seek_window_ms_{0};
  std::atomic<int> overlap_ms_{8};
  std::atomic<bool> prevent_click_{false};
  std::atomic<unsigned> version_{0};

  mutable std::mutex mutex_;  // everything below
  soundtouch::SoundTouch stretcher_;
  std::vector<float> input_block_;
  unsigned applied_version_ = 0;
  double applied_tempo_ = 0;
  double applied_frequency_ = 0;
  bool applied_prevent_click_ = false;
  bool stretching_ = false;
  bool draining_ = false;     // pass-through that first plays what the stretcher still holds
  bool input_ended_ = false;
  bool flushed_ = false;
  double segment_origin_seconds_ = 0;
  double segment_output_in_input_frames_ = 0;
  std::int64_t crossfade_frames_ = 1;
  std::vector<float> crossfade_tail_;
  std::int64_t crossfade_done_ = 0;
  bool capture_input_tail_ = false;
};

}  // namespace

std::unique_ptr<Source> CreateTempoSource(std::shared_ptr<Source> input) {
  if (!input) {
    Fail(kErrorHandle);
    return nullptr;
  }
  const SourceFormat format = input->Format();
  if (format.channels < 1 || format.channels > kMaxChannels) {
    Fail(kErrorFormat);
    return nullptr;
  }
  if (format.sample_rate <= 0) {
    Fail(kErrorFreq);
    return nullptr;
  }
  try {
    auto source = std::make_unique<TempoSource>(std::move(input));
    ClearError();
    return source;
  } catch (const std::bad_alloc&) {
    Fail(kErrorMemory);
  } catch (const std::exception&) {
    Fail(kErrorCreate);
  }
  return nullptr;
}

}  // namespace kestrel::audio
