#include "tempo/soundtouch_processor.h"

#include "storage/settings.h"

namespace kestrel {
namespace {

using audio::Attribute;

float Flag(bool on) { return on ? 1.0f : 0.0f; }

// The [SoundTouch] options, in the order they are given to a new tempo stream.
struct StretchOptionRow {
  Attribute attribute;
  float (*value)(const Settings&);
};

constexpr StretchOptionRow kStretchOptionRows[] = {
    {Attribute::kTempoUseAntiAliasFilter, [](const Settings& s) { return Flag(s.anti_alias_filter); }},
    // The layer rounds the length to the multiple of 8 SoundTouch requires.
    {Attribute::kTempoAntiAliasFilterLength,
     [](const Settings& s) { return static_cast<float>(s.aa_filter_length); }},
    {Attribute::kTempoUseQuickAlgorithm, [](const Settings& s) { return Flag(s.quick_algorithm); }},
    // 0 lets the stretcher choose sequence and seek window from the tempo.
    {Attribute::kTempoSequenceMs, [](const Settings& s) { return static_cast<float>(s.sequence_ms); }},
    {Attribute::kTempoSeekWindowMs,
     [](const Settings& s) { return static_cast<float>(s.seek_window_ms); }},
    {Attribute::kTempoOverlapMs, [](const Settings& s) { return static_cast<float>(s.overlap_ms); }},
    {Attribute::kTempoPreventClick, [](const Settings& s) { return Flag(s.prevent_click); }},
};

// A channel length or position in bytes as seconds; 0 when the layer does not know it.
double BytesAsSeconds(audio::Handle stream, std::int64_t bytes) {
  if (bytes < 0) return 0;
  return audio::BytesToSeconds(stream, bytes);
}

}  // namespace

SoundTouchProcessor::~SoundTouchProcessor() { Destroy(); }

audio::Handle SoundTouchProcessor::Create(audio::Handle source, float source_sample_rate) {
  if (stream_ != 0) Destroy();  // a second Create replaces the first stream instead of leaking it
  source_ = source;
  source_sample_rate_ = source_sample_rate;
  stream_ = audio::CreateTempoStream(source, audio::kStreamFreeSource);
  if (stream_ == 0) return 0;

  const Settings& settings = TheSettings();
  for (const StretchOptionRow& row : kStretchOptionRows) {
    audio::SetAttribute(stream_, row.attribute, row.value(settings));
  }
  audio::SetAttribute(stream_, Attribute::kTempo, tempo_);
  audio::SetAttribute(stream_, Attribute::kTempoPitch, pitch_);
  audio::SetAttribute(stream_, Attribute::kTempoFrequency, rate_ * source_sample_rate_);
  return stream_;
}

void SoundTouchProcessor::Destroy() {
  // The stream was made with kStreamFreeSource, so freeing it frees the source too.
  if (stream_ != 0) audio::FreeStream(stream_);
  stream_ = 0;
  source_ = 0;
}

void SoundTouchProcessor::SetTempo(float percent) {
  tempo_ = percent;
  if (stream_ != 0) audio::SetAttribute(stream_, Attribute::kTempo, percent);
}

void SoundTouchProcessor::SetPitch(float semitones) {
  pitch_ = semitones;
  if (stream_ != 0) audio::SetAttribute(stream_, Attribute::kTempoPitch, semitones);
}

void SoundTouchProcessor::SetRate(float factor) {
  rate_ = factor;
  if (stream_ != 0) {
    audio::SetAttribute(stream_, Attribute::kTempoFrequency, factor * source_sample_rate_);
  }
}

double SoundTouchProcessor::GetLengthSeconds() const {
  if (stream_ == 0) return 0;
  return BytesAsSeconds(stream_, audio::GetLength(stream_));
}

double SoundTouchProcessor::GetPositionSeconds() const {
  if (stream_ == 0) return 0;
  return BytesAsSeconds(stream_, audio::GetPosition(stream_));
}

void SoundTouchProcessor::SetPositionSeconds(double seconds) {
  if (stream_ == 0) return;
  audio::SetPosition(stream_, audio::SecondsToBytes(stream_, seconds), audio::kPositionFlush);
}

}  // namespace kestrel
