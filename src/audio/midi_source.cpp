// MIDI files synthesised with FluidSynth.
//
// The player is timed by the samples the synthesiser renders (not the wall clock), so a render
// is the same every time. The length is found at open by playing the file through a second
// synthesiser with no SoundFont (events only, nothing to synthesise), counting frames until the
// player has played the last event. Seeking forward renders and drops the frames in between; seeking backward
// starts a fresh synthesiser and player and renders up to the target, so a seek lands exactly
// where a straight render is (fluid_player_seek is not used: it jumps by ticks and loses the
// notes already sounding at the target).
#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <string_view>

#include <fluidsynth.h>

#include "audio/audio_error.h"
#include "audio/byte_reader.h"
#include "audio/file_sources.h"

namespace kestrel::audio {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
// FluidSynth renders and runs the player's timer in blocks of this many frames.
constexpr int kSynthBlock = 64;
// Longest file we measure (a player that never ends, e.g. a broken file, is cut here).
constexpr std::int64_t kMaxFrames = std::int64_t{6} * 3600 * kSampleRate;
constexpr std::int64_t kMaxFileBytes = 64 << 20;

void SilenceFluidSynthLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// A whole Standard MIDI File: the header chunk, then as many chunks as it names tracks, each
// within the file. FluidSynth loads files lazily and plays a cut one as silence, so a damaged
// file is refused here instead.
bool IsWholeStandardMidi(std::string_view bytes) {
  if (bytes.size() < 14 || bytes.substr(0, 4) != "MThd") return false;
  const std::uint32_t header_size = BigEndian32(bytes, 4);
  if (header_size < 6 || header_size > bytes.size() - 8) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const int tracks = (p[10] << 8) | p[11];
  if (tracks == 0) return false;
  std::size_t at = 8 + header_size;
  for (int found = 0; found < tracks;) {
    if (bytes.size() - at < 8) return false;
    const std::uint32_t size = BigEndian32(bytes, at + 4);
    if (size > bytes.size() - at - 8) return false;
    if (bytes.substr(at, 4) == "MTrk") ++found;
    at += 8 + size;
  }
  return true;
}

// A SoundFont 2 or DLS file: what FluidSynth loads. Anything else is not offered to it.
bool LooksLikeSoundFont(const std::string& path) {
  auto reader = OpenFileReader(path);
  char header[12] = {};
  if (!reader || reader->Read(header, sizeof header) != sizeof header) return false;
  const std::string_view view(header, sizeof header);
  return view.substr(0, 4) == "RIFF" && (view.substr(8, 4) == "sfbk" || view.substr(8, 4) == "DLS ");
}

// A Standard MIDI File, or the one inside a RIFF "RMID" file; empty when it is neither.
std::string StandardMidiBytes(std::string bytes) {
  if (bytes.compare(0, 4, "MThd") == 0) return IsWholeStandardMidi(bytes) ? bytes : std::string();
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "RMID") != 0) {
    return {};
  }
  std::size_t at = 12;
  // The pad byte of an odd-sized last chunk may be missing: never step past the end.
  while (at <= bytes.size() && bytes.size() - at >= 8) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    const std::size_t size = p[4] | (p[5] << 8) | (p[6] << 16) | (std::size_t{p[7]} << 24);
    if (size > bytes.size() - at - 8) return {};
    if (bytes.compare(at, 4, "data") == 0) {
      std::string inner = bytes.substr(at + 8, size);
      return IsWholeStandardMidi(inner) ? inner : std::string();
    }
    at += 8 + size + (size & 1);  // chunks are padded to an even size
  }
  return {};
}

struct SettingsDeleter {
  void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct PlayerDeleter {
  void operator()(fluid_player_t* player) const { delete_fluid_player(player); }
};

// One synthesiser playing the file from its start.
class MidiRender {
 public:
  // `soundfont` empty: events only, no sound (used to measure the length).
  bool Start(const std::string& midi, const std::string& soundfont, int max_voices, bool sinc,
             bool effects) {
    settings_.reset(new_fluid_settings());
    if (!settings_) return false;
    fluid_settings_setnum(settings_.get(), "synth.sample-rate", kSampleRate);
    fluid_settings_setint(settings_.get(), "synth.polyphony", std::clamp(max_voices, 1, 65535));
    fluid_settings_setint(settings_.get(), "synth.reverb.active", effects ? 1 : 0);
    fluid_settings_setint(settings_.get(), "synth.chorus.active", effects ? 1 : 0);
    fluid_settings_setint(settings_.get(), "synth.cpu-cores", 1);
    fluid_settings_setint(settings_.get(), "synth.threadsafe-api", 0);
    fluid_settings_setstr(settings_.get(), "player.timing-source", "sample");
    synth_.reset(new_fluid_synth(settings_.get()));
    if (!synth_) return false;
    if (!soundfont.empty() && LooksLikeSoundFont(soundfont)) {
      // A SoundFont that does not load leaves the synthesiser silent, as with none.
      fluid_synth_sfload(synth_.get(), soundfont.c_str(), 1);
    }
    if (sinc) fluid_synth_set_interp_method(synth_.get(), -1, FLUID_INTERP_HIGHEST);
    player_.reset(new_fluid_player(synth_.get()));
    if (!player_) return false;
    if (fluid_player_add_mem(player_.get(), midi.data(), midi.size()) != FLUID_OK) return false;
    return fluid_player_play(player_.get()) == FLUID_OK;
  }

  bool Done() const { return fluid_player_get_status(player_.get()) == FLUID_PLAYER_DONE; }

  // Renders `frames` interleaved stereo frames (nullptr: rendered and dropped).
  bool Render(float* out, std::int64_t frames) {
    std::array<float, 4096 * kChannels> scratch;
    while (frames > 0) {
      const int count = static_cast<int>(std::min<std::int64_t>(frames, 4096));
      float* target = out ? out : scratch.data();
      if (fluid_synth_write_float(synth_.get(), count, target, 0, 2, target, 1, 2) != FLUID_OK) {
        return false;
      }
      if (out) out += static_cast<std::ptrdiff_t>(count) * kChannels;
      frames -= count;
    }
    return true;
  }

  // Frames until the player has played the file's last event, found to the synthesiser's
  // block. (FluidSynth's player reports itself done only two seconds later, for the notes'
  // release; the file ends, as other players count it, at its last event.)
  std::int64_t MeasureLength() {
    std::array<float, kSynthBlock * kChannels> block;
    std::int64_t frames = 0;
    fluid_player_t* player = player_.get();
    while (!Done() && frames < kMaxFrames) {
      const int total_ticks = fluid_player_get_total_ticks(player);
      if (total_ticks > 0 && fluid_player_get_current_tick(player) >= total_ticks) break;
      if (fluid_synth_write_float(synth_.get(), kSynthBlock, block.data(), 0, 2, block.data(), 1,
                                  2) != FLUID_OK) {
        return -1;
      }
      frames += kSynthBlock;
    }
    return frames;
  }

 private:
  // Destroyed in reverse: the player before the synthesiser before its settings.
  std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
  std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
  std::unique_ptr<fluid_player_t, PlayerDeleter> player_;
};

class MidiSource final : public Source {
 public:
  MidiSource(std::string midi, std::string soundfont, int max_voices, bool sinc,
             std::int64_t length)
      : midi_(std::move(midi)),
        soundfont_(std::move(soundfont)),
        max_voices_(max_voices),
        sinc_(sinc),
        length_(length) {}

  bool Restart() {
    render_ = std::make_unique<MidiRender>();
    position_ = 0;
    return render_->Start(midi_, soundfont_, max_voices_, sinc_, true);
  }

  SourceFormat Format() const override { return {kSampleRate, kChannels}; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    if (frames < 0 || (frames > 0 && !out)) {
      Fail(kErrorIllegalParam);
      return -1;
    }
    const std::int64_t count = std::min(frames, length_ - position_);
    if (count > 0 && !render_->Render(out, count)) {
      Fail(kErrorUnknown);
      return -1;
    }
    position_ += std::max<std::int64_t>(count, 0);
    ClearError();
    return std::max<std::int64_t>(count, 0);
  }

  bool Seek(std::int64_t frame) override {
    if (frame < 0 || frame > length_) return Fail(kErrorPosition);
    if (frame < position_ && !Restart()) return Fail(kErrorPosition);
    if (!render_->Render(nullptr, frame - position_)) return Fail(kErrorPosition);
    position_ = frame;
    ClearError();
    return true;
  }

  std::int64_t LengthFrames() const override { return length_; }
  double NextFrameSeconds() const override {
    return static_cast<double>(position_) / kSampleRate;
  }
  double BitrateKbps() const override {
    if (length_ <= 0) return 0;
    return static_cast<double>(midi_.size()) * 8 * kSampleRate / length_ / 1000.0;
  }
  std::string CodecName() const override { return "MIDI"; }

 private:
  std::string midi_;
  std::string soundfont_;
  int max_voices_;
  bool sinc_;
  std::int64_t length_;
  std::unique_ptr<MidiRender> render_;
  std::int64_t position_ = 0;
};

std::optional<std::string> ReadWhole(const std::string& path) {
  auto reader = OpenFileReader(path);
  if (!reader || reader->Size() > kMaxFileBytes) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(reader->Size()), '\0');
  std::int64_t done = 0;
  while (done < reader->Size()) {
    const std::int64_t got = reader->Read(bytes.data() + done, reader->Size() - done);
    if (got <= 0) return std::nullopt;
    done += got;
  }
  return bytes;
}

}  // namespace

std::unique_ptr<Source> OpenMidiSource(const std::string& path, const std::string& soundfont,
                                       int max_voices, bool sinc) {
  SilenceFluidSynthLog();
  auto bytes = ReadWhole(path);
  if (!bytes) {
    Fail(kErrorFileOpen);
    return nullptr;
  }
  std::string midi = StandardMidiBytes(std::move(*bytes));
  if (midi.empty()) {
    Fail(kErrorFileForm);
    return nullptr;
  }
  MidiRender measure;
  if (!measure.Start(midi, {}, max_voices, false, false)) {
    Fail(kErrorFileForm);
    return nullptr;
  }
  const std::int64_t length = measure.MeasureLength();
  if (length < 0) {
    Fail(kErrorFileForm);
    return nullptr;
  }
  auto source = std::make_unique<MidiSource>(std::move(midi), soundfont, max_voices, sinc, length);
  if (!source->Restart()) {
    Fail(kErrorFileForm);
    return nullptr;
  }
  ClearError();
  return source;
}

}  // namespace kestrel::audio
