#include "audio/ffmpeg_source.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "audio/audio_error.h"
#include "audio/ffmpeg_metadata.h"
#include "audio/file_sources.h"
#include "audio/tag_blocks.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace kestrel::audio {
namespace {

constexpr int kIoBufferBytes = 64 * 1024;
// How far before the end the length probe starts decoding, in seconds.
constexpr double kEndProbeSeconds = 2.0;
// Lossy decoders need audio before the seek target to settle (overlapping transforms, the MP3
// bit reservoir, Opus's inter-frame energy prediction, which takes longest): never less than
// this many seconds, so a seek gives what a straight read gives.
constexpr double kMinLossyPrerollSeconds = 0.5;

struct FormatContextDeleter {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct IoContextDeleter {
  void operator()(AVIOContext* io) const {
    if (io) av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerDeleter {
  void operator()(SwrContext* swr) const { swr_free(&swr); }
};

// Lets libavformat read through a ByteReader. The reader's offset is tracked here so SEEK_CUR
// works for readers that only know absolute offsets.
struct ReaderIo {
  std::unique_ptr<ByteReader> reader;
  std::int64_t offset = 0;

  static int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    auto* self = static_cast<ReaderIo*>(opaque);
    const std::int64_t got = self->reader->Read(buffer, size);
    if (got < 0) return AVERROR(EIO);
    if (got == 0) return AVERROR_EOF;
    self->offset += got;
    return static_cast<int>(got);
  }

  static std::int64_t SeekTo(void* opaque, std::int64_t offset, int whence) {
    auto* self = static_cast<ReaderIo*>(opaque);
    const std::int64_t size = self->reader->Size();
    switch (whence & ~AVSEEK_FORCE) {
      case AVSEEK_SIZE: return size >= 0 ? size : AVERROR(ENOSYS);
      case SEEK_SET: break;
      case SEEK_CUR: offset += self->offset; break;
      case SEEK_END:
        if (size < 0) return AVERROR(ENOSYS);
        offset += size;
        break;
      default: return AVERROR(EINVAL);
    }
    if (!self->reader->Seek(offset)) return AVERROR(EIO);
    self->offset = offset;
    return offset;
  }
};

// Short names for reports, one row per codec; others use FFmpeg's own short name.
struct CodecLabel {
  AVCodecID id;
  const char* name;
};
constexpr CodecLabel kCodecLabels[] = {
    {AV_CODEC_ID_MP3, "MP3"},         {AV_CODEC_ID_MP2, "MP2"},
    {AV_CODEC_ID_MP1, "MP1"},         {AV_CODEC_ID_FLAC, "FLAC"},
    {AV_CODEC_ID_VORBIS, "Vorbis"},   {AV_CODEC_ID_OPUS, "Opus"},
    {AV_CODEC_ID_AAC, "AAC"},         {AV_CODEC_ID_AAC_LATM, "AAC"},
    {AV_CODEC_ID_ALAC, "ALAC"},       {AV_CODEC_ID_WAVPACK, "WavPack"},
    {AV_CODEC_ID_APE, "APE"},         {AV_CODEC_ID_WMAV1, "WMA"},
    {AV_CODEC_ID_WMAV2, "WMA"},       {AV_CODEC_ID_WMAPRO, "WMA Pro"},
    {AV_CODEC_ID_WMALOSSLESS, "WMA Lossless"}, {AV_CODEC_ID_WMAVOICE, "WMA Voice"},
    {AV_CODEC_ID_DSD_LSBF, "DSD"},    {AV_CODEC_ID_DSD_MSBF, "DSD"},
    {AV_CODEC_ID_DSD_LSBF_PLANAR, "DSD"}, {AV_CODEC_ID_DSD_MSBF_PLANAR, "DSD"},
    {AV_CODEC_ID_TTA, "TTA"},         {AV_CODEC_ID_MUSEPACK7, "Musepack"},
    {AV_CODEC_ID_MUSEPACK8, "Musepack"}, {AV_CODEC_ID_AC3, "AC-3"},
    {AV_CODEC_ID_EAC3, "E-AC-3"},     {AV_CODEC_ID_DTS, "DTS"},
    {AV_CODEC_ID_SPEEX, "Speex"},
};

std::string CodecLabelFor(AVCodecID id) {
  for (const CodecLabel& label : kCodecLabels) {
    if (label.id == id) return label.name;
  }
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
  if (descriptor && std::strncmp(descriptor->name, "pcm_", 4) == 0) return "PCM";
  return descriptor ? descriptor->name : "";
}

// Addresses a network demuxer opens itself, each through a reader of its own.
int OpenNestedIo(AVFormatContext* context, AVIOContext** io, const char* url, int flags,
                 AVDictionary** /*options*/) {
  const auto* options = static_cast<const NetworkOpenOptions*>(context->opaque);
  if (!options || !options->open_nested || (flags & AVIO_FLAG_WRITE) || !url) {
    return AVERROR(EPERM);
  }
  std::unique_ptr<ByteReader> reader = options->open_nested(url);
  if (!reader) return AVERROR(EIO);
  const bool seekable = reader->Size() >= 0;
  auto nested = std::make_unique<ReaderIo>();
  nested->reader = std::move(reader);
  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
  if (!buffer) return AVERROR(ENOMEM);
  AVIOContext* created =
      avio_alloc_context(buffer, kIoBufferBytes, 0, nested.get(), &ReaderIo::ReadPacket, nullptr,
                         seekable ? &ReaderIo::SeekTo : nullptr);
  if (!created) {
    av_free(buffer);
    return AVERROR(ENOMEM);
  }
  created->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;
  nested.release();  // owned by the context now, freed by CloseNestedIo
  *io = created;
  return 0;
}

int CloseNestedIo(AVFormatContext* /*context*/, AVIOContext* io) {
  if (!io) return 0;
  delete static_cast<ReaderIo*>(io->opaque);
  av_freep(&io->buffer);
  avio_context_free(&io);
  return 0;
}

class FfmpegSource final : public Source {
 public:
  // Opens the container and decoder; false with the last error set.
  bool Open(std::unique_ptr<ByteReader> reader, const std::string& name_hint);
  // For internet streams: set before Open.
  void SetNetworkOptions(const NetworkOpenOptions& options) { network_ = options; }
  // Opens the demuxer and decoder from the first byte; an error code, kOk on success.
  int OpenDemuxer();
  // Opens afresh and stands at frame 0, as after Open. Some demuxers (Ogg) keep state from
  // having reached the end that puts wrong timestamps on packets after a later seek.
  bool Restart();

  SourceFormat Format() const override { return format_; }
  std::int64_t Read(float* out, std::int64_t frames) override;
  bool Seek(std::int64_t frame) override;
  std::int64_t LengthFrames() const override { return length_; }
  double NextFrameSeconds() const override {
    return static_cast<double>(next_frame_) / format_.sample_rate;
  }
  std::optional<std::string> Tags(TagBlock block) const override {
    const auto found = tags_.find(block);
    if (found == tags_.end()) return std::nullopt;
    return found->second;
  }
  double BitrateKbps() const override { return bitrate_kbps_; }
  std::string CodecName() const override { return codec_name_; }

 private:
  enum class Decoded { kFrame, kEnd, kError };
  // Decodes the next frame of the audio stream into frame_.
  Decoded DecodeFrame();
  // Converts frame_ to interleaved float in pending_, and places it in source time.
  bool TakeFrame(bool from_timestamp);
  // The source frame at which a decoded frame starts, from its timestamp (negative for audio
  // before the start, which a seek may decode); kNoFrame when it has none.
  static constexpr std::int64_t kNoFrame = INT64_MIN;
  std::int64_t FrameStart(const AVFrame& frame) const;
  // Seeks the demuxer to at or before `frame` and drops the decoder's state.
  bool SeekDemuxer(std::int64_t frame);
  // Decodes from a demuxer seek up to `frame`, dropping what lies before it; false when the
  // demuxer landed after it.
  bool DecodeUpTo(std::int64_t frame);
  // Decodes on, counting frames, until `frame` is next.
  bool SkipTo(std::int64_t frame);
  // Sets length_; false when the decoder could not get back to the start afterwards.
  bool ComputeLength();
  void ComputeBitrate();

  ReaderIo io_;
  std::unique_ptr<AVIOContext, IoContextDeleter> io_context_;
  std::unique_ptr<AVFormatContext, FormatContextDeleter> format_context_;
  std::unique_ptr<AVCodecContext, CodecContextDeleter> codec_;
  std::unique_ptr<AVFrame, FrameDeleter> frame_{av_frame_alloc()};
  std::unique_ptr<AVPacket, PacketDeleter> packet_{av_packet_alloc()};
  std::unique_ptr<SwrContext, ResamplerDeleter> resampler_;
  // What the resampler was made for, to rebuild it when a stream changes layout mid-way.
  int resampler_format_ = -1;
  int resampler_rate_ = 0;
  AVChannelLayout resampler_layout_{};
  AVChannelLayout out_layout_{};

  AVStream* stream_ = nullptr;
  int stream_index_ = -1;
  SourceFormat format_;
  std::string name_hint_;
  bool demuxer_ended_ = false;
  std::int64_t preroll_frames_ = 0;
  // The timestamp, in frames, of the first frame of a straight decode: source frame 0.
  std::int64_t origin_ = 0;
  bool timestamps_usable_ = false;
  std::int64_t length_ = -1;
  // Read stops at length_ only when it is known to be right: a stream's duration guessed from
  // its bitrate must not cut audio off.
  bool stop_at_length_ = false;
  bool draining_ = false;  // the demuxer has ended; the decoder is giving out what it holds

  std::vector<float> pending_;  // decoded interleaved frames not yet read
  std::size_t pending_offset_ = 0;  // in samples
  std::int64_t pending_start_ = 0;  // source frame of pending_[0]
  std::int64_t next_frame_ = 0;
  bool ended_ = false;

  std::map<TagBlock, std::string> tags_;
  double bitrate_kbps_ = 0;
  std::string codec_name_;
  std::optional<NetworkOpenOptions> network_;
};

bool FfmpegSource::Open(std::unique_ptr<ByteReader> reader, const std::string& name_hint) {
  const bool seekable = reader->Size() >= 0;
  if (seekable) {
    tags_ = ReadFileTagBlocks(*reader);
    if (!reader->Seek(0)) return Fail(kErrorFileOpen);
  }
  io_.reader = std::move(reader);
  name_hint_ = name_hint;

  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
  if (!buffer) return Fail(kErrorMemory);
  io_context_.reset(avio_alloc_context(buffer, kIoBufferBytes, 0, &io_, &ReaderIo::ReadPacket,
                                       nullptr, seekable ? &ReaderIo::SeekTo : nullptr));
  if (!io_context_) {
    av_free(buffer);
    return Fail(kErrorMemory);
  }
  io_context_->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;

  if (const int error = OpenDemuxer(); error != kOk) return Fail(error);
  const AVCodecParameters* parameters = stream_->codecpar;
  format_.sample_rate = codec_->sample_rate > 0 ? codec_->sample_rate : parameters->sample_rate;
  format_.channels = parameters->ch_layout.nb_channels;
  av_channel_layout_default(&out_layout_, format_.channels);
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters->codec_id);
  const bool lossless = descriptor && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
                        !(descriptor->props & AV_CODEC_PROP_LOSSY);
  const std::int64_t codec_preroll =
      std::max<std::int64_t>(parameters->seek_preroll, 2 * std::max(parameters->frame_size, 0));
  const auto min_preroll =
      static_cast<std::int64_t>(kMinLossyPrerollSeconds * format_.sample_rate);
  preroll_frames_ = lossless ? 0 : std::max(codec_preroll, min_preroll);
  codec_name_ = CodecLabelFor(parameters->codec_id);

  // The first frame proves the file decodes and fixes where source time starts.
  if (DecodeFrame() != Decoded::kFrame) return Fail(kErrorFileForm);
  timestamps_usable_ = frame_->best_effort_timestamp != AV_NOPTS_VALUE;
  origin_ = timestamps_usable_ ? FrameStart(*frame_) : 0;
  if (!TakeFrame(false)) return Fail(kErrorMemory);

  if (!ComputeLength()) return Fail(kErrorFileForm);
  ComputeBitrate();
  AddFfmpegMetadataBlocks(*format_context_, *stream_, &tags_);
  ClearError();
  return true;
}

int FfmpegSource::OpenDemuxer() {
  codec_.reset();
  format_context_.reset();
  stream_ = nullptr;
  demuxer_ended_ = false;
  draining_ = false;
  if (io_context_->seekable && avio_seek(io_context_.get(), 0, SEEK_SET) < 0) {
    return kErrorFileOpen;
  }
  io_context_->error = 0;  // a read that failed before (a stream's download edge) is forgotten

  AVFormatContext* context = avformat_alloc_context();
  if (!context) return kErrorMemory;
  context->pb = io_context_.get();
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  const AVInputFormat* forced = nullptr;
  AVDictionary* demuxer_options = nullptr;
  if (network_) {
    context->probesize = network_->probe_bytes;
    context->max_analyze_duration = network_->analyze_microseconds;
    context->opaque = &*network_;
    context->io_open = &OpenNestedIo;
    context->io_close2 = &CloseNestedIo;
    if (!network_->forced_format.empty()) {
      forced = av_find_input_format(network_->forced_format.c_str());
      if (!forced) return kErrorFileForm;
    }
    // The HLS demuxer would otherwise reuse a segment's connection through FFmpeg's own HTTP
    // code, which our readers are not.
    av_dict_set(&demuxer_options, "http_persistent", "0", 0);
    av_dict_set(&demuxer_options, "http_multiple", "0", 0);
  }
  // On failure avformat_open_input frees the context itself.
  const int opened = avformat_open_input(&context, name_hint_.c_str(), forced, &demuxer_options);
  av_dict_free(&demuxer_options);
  if (opened < 0) return kErrorFileForm;
  format_context_.reset(context);
  if (avformat_find_stream_info(context, nullptr) < 0) return kErrorFileForm;

  stream_index_ = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (stream_index_ == AVERROR_DECODER_NOT_FOUND) return kErrorCodec;
  if (stream_index_ < 0) {
    // Nothing the demuxer calls audio; a known container without audio is "no audio".
    return context->nb_streams > 0 ? kErrorNotAudio : kErrorFileForm;
  }
  stream_ = context->streams[stream_index_];
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    if (static_cast<int>(i) != stream_index_) context->streams[i]->discard = AVDISCARD_ALL;
  }
  const AVCodecParameters* parameters = stream_->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
  if (!decoder) return kErrorCodec;
  if (parameters->sample_rate <= 0 || parameters->ch_layout.nb_channels <= 0) {
    return kErrorFileForm;
  }

  codec_.reset(avcodec_alloc_context3(decoder));
  if (!codec_) return kErrorMemory;
  if (avcodec_parameters_to_context(codec_.get(), parameters) < 0) return kErrorFileForm;
  codec_->pkt_timebase = stream_->time_base;
  codec_->thread_count = 1;
  if (avcodec_open2(codec_.get(), decoder, nullptr) < 0) return kErrorFileForm;
  return kOk;
}

bool FfmpegSource::Restart() {
  if (OpenDemuxer() != kOk || DecodeFrame() != Decoded::kFrame) return false;
  next_frame_ = 0;
  ended_ = false;
  return TakeFrame(false);
}

std::int64_t FfmpegSource::FrameStart(const AVFrame& frame) const {
  const std::int64_t stamp = frame.best_effort_timestamp;
  if (stamp == AV_NOPTS_VALUE) return kNoFrame;
  return av_rescale_q(stamp, stream_->time_base, AVRational{1, format_.sample_rate}) - origin_;
}

FfmpegSource::Decoded FfmpegSource::DecodeFrame() {
  for (;;) {
    const int received = avcodec_receive_frame(codec_.get(), frame_.get());
    if (received >= 0) {
      if (frame_->nb_samples > 0) return Decoded::kFrame;
      continue;
    }
    if (received == AVERROR_EOF) return Decoded::kEnd;
    // EAGAIN wants another packet; any other failure is a damaged frame, skipped as players do.
    if (draining_) return Decoded::kEnd;

    const int read = av_read_frame(format_context_.get(), packet_.get());
    if (read < 0) {
      // The end of the file, or a read failure that ends it: let the decoder give out the rest.
      draining_ = true;
      demuxer_ended_ = true;
      avcodec_send_packet(codec_.get(), nullptr);
      continue;
    }
    if (packet_->stream_index == stream_index_) {
      const int sent = avcodec_send_packet(codec_.get(), packet_.get());
      if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
        av_packet_unref(packet_.get());
        return Decoded::kError;
      }
    }
    av_packet_unref(packet_.get());
  }
}

bool FfmpegSource::TakeFrame(bool from_timestamp) {
  const AVFrame& frame = *frame_;
  const bool same_shape = resampler_ && resampler_format_ == frame.format &&
                          resampler_rate_ == frame.sample_rate &&
                          av_channel_layout_compare(&resampler_layout_, &frame.ch_layout) == 0;
  if (!same_shape) {
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &out_layout_, AV_SAMPLE_FMT_FLT, format_.sample_rate,
                            const_cast<AVChannelLayout*>(&frame.ch_layout),
                            static_cast<AVSampleFormat>(frame.format),
                            frame.sample_rate, 0, nullptr) < 0 ||
        swr_init(swr) < 0) {
      swr_free(&swr);
      return false;
    }
    resampler_.reset(swr);
    resampler_format_ = frame.format;
    resampler_rate_ = frame.sample_rate;
    av_channel_layout_uninit(&resampler_layout_);
    av_channel_layout_copy(&resampler_layout_, &frame.ch_layout);
  }
  const int capacity = swr_get_out_samples(resampler_.get(), frame.nb_samples);
  if (capacity < 0) return false;
  pending_.resize(static_cast<std::size_t>(capacity) * format_.channels);
  auto* out = reinterpret_cast<std::uint8_t*>(pending_.data());
  const int converted =
      swr_convert(resampler_.get(), &out, capacity,
                  const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
  if (converted < 0) return false;
  pending_.resize(static_cast<std::size_t>(converted) * format_.channels);
  pending_offset_ = 0;
  const std::int64_t start = from_timestamp ? FrameStart(frame) : kNoFrame;
  pending_start_ = start != kNoFrame ? start : next_frame_;
  return true;
}

std::int64_t FfmpegSource::Read(float* out, std::int64_t frames) {
  if (frames < 0 || (frames > 0 && !out)) {
    Fail(kErrorIllegalParam);
    return -1;
  }
  const int channels = format_.channels;
  std::int64_t done = 0;
  while (done < frames && !ended_) {
    if (stop_at_length_ && next_frame_ >= length_) {
      ended_ = true;  // the container's length cuts off encoder padding at the end
      break;
    }
    const std::int64_t available =
        static_cast<std::int64_t>(pending_.size() - pending_offset_) / channels;
    if (available > 0) {
      std::int64_t count = std::min(available, frames - done);
      if (stop_at_length_) count = std::min(count, length_ - next_frame_);
      std::memcpy(out + done * channels, pending_.data() + pending_offset_,
                  static_cast<std::size_t>(count * channels) * sizeof(float));
      pending_offset_ += static_cast<std::size_t>(count * channels);
      done += count;
      next_frame_ += count;
      continue;
    }
    const Decoded decoded = DecodeFrame();
    if (decoded == Decoded::kEnd) {
      ended_ = true;
      break;
    }
    if (decoded == Decoded::kError || !TakeFrame(false)) {
      if (done > 0) break;
      Fail(kErrorUnknown);
      return -1;
    }
  }
  ClearError();
  return done;
}

bool FfmpegSource::SeekDemuxer(std::int64_t frame) {
  // Reached the end before: open afresh (see Restart).
  if (demuxer_ended_ && OpenDemuxer() != kOk) return false;
  const AVRational frames_base{1, format_.sample_rate};
  // Timestamps before the first frame make the demuxers that allow it start at the very first
  // packet, with an AAC file's priming packet or an Opus pre-skip the decoder needs; the others
  // refuse them, and are asked again for their first timestamp.
  const std::int64_t wanted =
      av_rescale_q(frame - preroll_frames_ + origin_, frames_base, stream_->time_base);
  const std::int64_t first = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
  AVFormatContext* context = format_context_.get();
  int result = avformat_seek_file(context, stream_index_, INT64_MIN, wanted, wanted, 0);
  if (result < 0 && wanted < first) {
    result = avformat_seek_file(context, stream_index_, INT64_MIN, first, first, 0);
  }
  if (result < 0) {
    result = av_seek_frame(context, stream_index_, std::max(wanted, first), AVSEEK_FLAG_BACKWARD);
  }
  if (result < 0) return false;
  avcodec_flush_buffers(codec_.get());
  draining_ = false;
  ended_ = false;
  pending_.clear();
  pending_offset_ = 0;
  return true;
}

bool FfmpegSource::DecodeUpTo(std::int64_t frame) {
  bool first = true;
  for (;;) {
    const Decoded decoded = DecodeFrame();
    if (decoded == Decoded::kError) return false;
    if (decoded == Decoded::kEnd) {
      // The target lies at or past the real end.
      pending_.clear();
      pending_offset_ = 0;
      next_frame_ = frame;
      ended_ = true;
      return true;
    }
    if (!TakeFrame(first)) return false;
    // The demuxer landed after the target: this file cannot seek there exactly.
    if (first && pending_start_ > frame) return false;
    first = false;
    const std::int64_t frames_here =
        static_cast<std::int64_t>(pending_.size()) / format_.channels;
    if (pending_start_ + frames_here > frame) {
      pending_offset_ = static_cast<std::size_t>(frame - pending_start_) * format_.channels;
      next_frame_ = frame;
      return true;
    }
    next_frame_ = pending_start_ + frames_here;
  }
}

bool FfmpegSource::SkipTo(std::int64_t frame) {
  while (next_frame_ < frame) {
    const auto available =
        static_cast<std::int64_t>(pending_.size() - pending_offset_) / format_.channels;
    if (available > 0) {
      const std::int64_t count = std::min(available, frame - next_frame_);
      pending_offset_ += static_cast<std::size_t>(count * format_.channels);
      next_frame_ += count;
      continue;
    }
    const Decoded decoded = DecodeFrame();
    if (decoded == Decoded::kError) return false;
    if (decoded == Decoded::kEnd) {
      ended_ = true;
      next_frame_ = frame;
      return true;
    }
    if (!TakeFrame(false)) return false;
  }
  return true;
}

bool FfmpegSource::Seek(std::int64_t frame) {
  if (frame < 0 || (stop_at_length_ && frame > length_)) return Fail(kErrorPosition);
  if (!io_context_->seekable) return Fail(kErrorNotFile);
  // Within what is already decoded: no need to go back to the demuxer.
  const auto pending_frames = static_cast<std::int64_t>(pending_.size()) / format_.channels;
  if (!ended_ && frame >= pending_start_ && frame < pending_start_ + pending_frames) {
    pending_offset_ = static_cast<std::size_t>(frame - pending_start_) * format_.channels;
    next_frame_ = frame;
    ClearError();
    return true;
  }
  if (frame == 0) {
    // The start, as a fresh open: exactly what a straight read gives, whatever the codec.
    if (!Restart()) return Fail(kErrorPosition);
    ClearError();
    return true;
  }
  const bool landed = timestamps_usable_ && SeekDemuxer(frame) && DecodeUpTo(frame);
  // Without trustworthy timestamps: from a fresh start, decode and count up to the frame.
  if (!landed && !(Restart() && SkipTo(frame))) return Fail(kErrorPosition);
  ClearError();
  return true;
}

bool FfmpegSource::ComputeLength() {
  std::int64_t container = -1;
  if (stream_->duration != AV_NOPTS_VALUE && stream_->duration > 0) {
    const std::int64_t start = stream_->start_time != AV_NOPTS_VALUE ? stream_->start_time : 0;
    const std::int64_t end = av_rescale_q(start + stream_->duration, stream_->time_base,
                                          AVRational{1, format_.sample_rate});
    container = end - origin_;
  } else if (format_context_->duration != AV_NOPTS_VALUE && format_context_->duration > 0) {
    container = av_rescale_q(format_context_->duration, AV_TIME_BASE_Q,
                             AVRational{1, format_.sample_rate});
  }
  length_ = container;
  if (!io_context_->seekable || !timestamps_usable_ || container <= 0) return true;
  if (network_ && !network_->probe_length_at_end) return true;
  stop_at_length_ = true;

  // Decode the last seconds to find where the audio really ends: an MP3's encoder padding, an
  // Opus pre-skip counted in the duration, or a duration guessed from the bitrate make the
  // container's figure approximate. Where the container is exact and the decoder gives more
  // (AAC's padding in an MP4), the container's figure wins and Read stops there.
  const std::int64_t probe_from = std::max<std::int64_t>(
      container - static_cast<std::int64_t>(kEndProbeSeconds * format_.sample_rate), 0);
  std::int64_t decoded_end = -1;
  if (SeekDemuxer(probe_from)) {
    for (;;) {
      const Decoded decoded = DecodeFrame();
      if (decoded != Decoded::kFrame) {
        if (decoded == Decoded::kError) decoded_end = -1;
        break;
      }
      const std::int64_t start = FrameStart(*frame_);
      if (start == kNoFrame) {
        decoded_end = -1;
        break;
      }
      decoded_end = start + frame_->nb_samples;
    }
  }
  if (decoded_end > 0) length_ = std::min(container, decoded_end);
  // Back to the start; the first frame is decoded again.
  length_ = length_ > 0 ? length_ : -1;
  stop_at_length_ = length_ > 0;
  // Back to the start as a fresh open, so a straight read decodes exactly what FFmpeg gives.
  return Restart();
}

void FfmpegSource::ComputeBitrate() {
  std::int64_t bits_per_second = stream_->codecpar->bit_rate;
  if (bits_per_second <= 0) bits_per_second = format_context_->bit_rate;
  if (bits_per_second <= 0 && length_ > 0 && io_.reader->Size() > 0) {
    bits_per_second = io_.reader->Size() * 8 * format_.sample_rate / length_;
  }
  bitrate_kbps_ = bits_per_second > 0 ? static_cast<double>(bits_per_second) / 1000.0 : 0;
}

}  // namespace

std::unique_ptr<Source> OpenStreamSource(std::unique_ptr<ByteReader> reader,
                                         const std::string& name_hint) {
  if (!reader) {
    Fail(kErrorFileOpen);
    return nullptr;
  }
  auto source = std::make_unique<FfmpegSource>();
  if (!source->Open(std::move(reader), name_hint)) return nullptr;
  return source;
}

std::unique_ptr<Source> OpenNetworkStreamSource(std::unique_ptr<ByteReader> reader,
                                                const std::string& url,
                                                const NetworkOpenOptions& options) {
  if (!reader) {
    Fail(kErrorFileOpen);
    return nullptr;
  }
  auto source = std::make_unique<FfmpegSource>();
  source->SetNetworkOptions(options);
  if (!source->Open(std::move(reader), url)) return nullptr;
  return source;
}

bool LooksLikeAdts(std::string_view first_bytes) {
  const AVInputFormat* adts = av_find_input_format("aac");
  if (!adts || !adts->read_probe || first_bytes.empty()) return false;
  // Probe buffers carry zeroed padding past their end.
  std::vector<unsigned char> buffer(first_bytes.size() + AVPROBE_PADDING_SIZE, 0);
  std::memcpy(buffer.data(), first_bytes.data(), first_bytes.size());
  AVProbeData probe{};
  probe.buf = buffer.data();
  probe.buf_size = static_cast<int>(first_bytes.size());
  probe.filename = "";
  return adts->read_probe(&probe) >= AVPROBE_SCORE_EXTENSION / 2;
}

std::unique_ptr<Source> OpenFileSource(const std::string& path) {
  auto reader = OpenFileReader(path);
  if (!reader) {
    Fail(kErrorFileOpen);
    return nullptr;
  }
  return OpenStreamSource(std::move(reader), path);
}

}  // namespace kestrel::audio
