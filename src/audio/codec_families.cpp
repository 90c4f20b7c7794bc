// The codec families this build decodes, for the plug-in report: a family is available when
// FFmpeg has both its decoder and its container, FluidSynth for MIDI; the mixer is our own.
#include <fluidsynth.h>

#include "audio/audio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace kestrel::audio {
namespace {

enum class Needs { kFfmpeg, kFluidSynth, kNothing };

struct FamilyRow {
  const char* name;
  Needs needs;
  AVCodecID codec;      // with kFfmpeg: the decoder it needs (AV_CODEC_ID_NONE: none)
  const char* demuxer;  // with kFfmpeg: the container or input it needs
};

// In the order the report lists them.
constexpr FamilyRow kFamilies[] = {
    {"FLAC", Needs::kFfmpeg, AV_CODEC_ID_FLAC, "flac"},
    {"Opus", Needs::kFfmpeg, AV_CODEC_ID_OPUS, "ogg"},
    {"WMA", Needs::kFfmpeg, AV_CODEC_ID_WMAV2, "asf"},
    {"WavPack", Needs::kFfmpeg, AV_CODEC_ID_WAVPACK, "wv"},
    {"APE", Needs::kFfmpeg, AV_CODEC_ID_APE, "ape"},
    {"ALAC", Needs::kFfmpeg, AV_CODEC_ID_ALAC, "m4a"},
    {"MIDI", Needs::kFluidSynth, AV_CODEC_ID_NONE, nullptr},
    // Audio CDs need FFmpeg's libcdio input, which lives in libavdevice: not in this layer.
    {"CD audio", Needs::kFfmpeg, AV_CODEC_ID_PCM_S16LE, "libcdio"},
    {"DSD", Needs::kFfmpeg, AV_CODEC_ID_DSD_LSBF, "dsf"},
    {"HLS", Needs::kFfmpeg, AV_CODEC_ID_NONE, "hls"},
    {"Mixer", Needs::kNothing, AV_CODEC_ID_NONE, nullptr},
    {"AAC", Needs::kFfmpeg, AV_CODEC_ID_AAC, "m4a"},
};

bool FfmpegHas(const FamilyRow& row) {
  if (row.codec != AV_CODEC_ID_NONE && !avcodec_find_decoder(row.codec)) return false;
  return av_find_input_format(row.demuxer) != nullptr;
}

bool FluidSynthWorks() {
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return false;
  delete_fluid_settings(settings);
  return true;
}

}  // namespace

std::vector<CodecFamily> CodecFamilies() {
  std::vector<CodecFamily> families;
  for (const FamilyRow& row : kFamilies) {
    bool available = true;
    if (row.needs == Needs::kFfmpeg) available = FfmpegHas(row);
    if (row.needs == Needs::kFluidSynth) available = FluidSynthWorks();
    families.push_back({row.name, available});
  }
  return families;
}

}  // namespace kestrel::audio
