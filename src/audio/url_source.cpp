#include "audio/url_source.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audio_error.h"
#include "audio/ffmpeg_source.h"
#include "audio/http_stream_reader.h"
#include "audio/source_events.h"
#include "base/utf8.h"

namespace kestrel::audio {
namespace {

// Decoded audio kept ready for the update thread, in seconds, and the step the decoding thread
// takes at once, in frames.
constexpr double kDecodedAheadSeconds = 1.0;
constexpr std::int64_t kDecodeStepFrames = 2048;
// Bytes looked at to tell ADTS from other streams.
constexpr std::size_t kAdtsProbeBytes = 4096;
// A seek in a file still downloading needs its target this far inside what has arrived.
constexpr std::int64_t kSeekMarginBytes = 64 * 1024;

// True when the address's path (query and fragment left out) ends ".m3u8".
bool PathIsHlsPlaylist(std::string_view url) {
  const std::size_t end = url.find_first_of("?#");
  const std::string path = AsciiLower(url.substr(0, end));
  return path.ends_with(".m3u8");
}

bool IsHlsContentType(std::string_view content_type) {
  return content_type.find("mpegurl") != std::string_view::npos;
}

bool IsHttpAddress(std::string_view url) {
  const std::string lower = AsciiLower(url.substr(0, 8));
  return lower.starts_with("http://") || lower.starts_with("https://");
}

// An HLS playlist read straight through: the demuxer must not seek about in it (which would
// make it fetch segments only to find the length).
class ForwardOnlyReader final : public ByteReader {
 public:
  explicit ForwardOnlyReader(std::unique_ptr<ByteReader> reader) : reader_(std::move(reader)) {}
  std::int64_t Read(void* buffer, std::int64_t size) override { return reader_->Read(buffer, size); }
  bool Seek(std::int64_t) override { return false; }
  std::int64_t Size() const override { return -1; }

 private:
  std::unique_ptr<ByteReader> reader_;
};

class UrlSource final : public Source {
 public:
  UrlSource(std::unique_ptr<Source> decoder, HttpStreamReader* reader, bool live, bool hls,
            const UrlSourceSettings& settings)
      : decoder_(std::move(decoder)),
        reader_(reader),
        format_(decoder_->Format()),
        live_(live),
        hls_(hls),
        settings_(settings),
        length_(live ? -1 : decoder_->LengthFrames()),
        codec_(decoder_->CodecName()),
        decoder_kbps_(decoder_->BitrateKbps()),
        fifo_capacity_(static_cast<std::int64_t>(kDecodedAheadSeconds * format_.sample_rate)) {
    if (decoder_kbps_ > 0) reader_->SetBitrateKbps(decoder_kbps_);
    reader_->SetEventHandler([this](SyncType type) { OnStreamEvent(type); });
    // A title, or a small body whole, may have arrived while the decoder was being opened.
    if (reader_->MetaBlock()) meta_pending_ = true;
    if (reader_->Complete() && !hls_) download_complete_ = true;
    thread_ = std::thread([this] { DecodeLoop(); });
  }

  ~UrlSource() override {
    {
      std::lock_guard lock(fifo_mutex_);
      stop_ = true;
    }
    fifo_space_.notify_all();
    reader_->Cancel();  // a decoder read waiting for the network returns at once
    thread_.join();
    // The decoder owns the reader: freeing it here joins the download thread while every member
    // its event handler touches is still alive.
    decoder_.reset();
  }

  SourceFormat Format() const override { return format_; }

  std::int64_t Read(float* out, std::int64_t frames) override {
    if (!read_started_.exchange(true)) {
      if (meta_pending_.exchange(false)) ReportSourceEvent(*this, SyncType::kMeta);
      ReportCompleteOnce();
    }
    std::unique_lock lock(fifo_mutex_);
    const int channels = format_.channels;
    if (prebuffering_) {
      const bool filled = decoder_ended_ || reader_->Finished() ||
                          reader_->BufferFill() * 100.0 >= settings_.prebuffer_percent;
      if (!filled) return Fail(kErrorNotAvailable), -1;
      prebuffering_ = false;
    }
    const std::int64_t available = FifoFramesLocked();
    if (available == 0) {
      if (decoder_ended_) return ClearError(), 0;
      // Ran dry while playing: nothing more until the prebuffer has filled again. Before the
      // first audio (at the start, after a seek) the decoder is only still at work: no wait.
      if (delivered_) prebuffering_ = true;
      return Fail(kErrorNotAvailable), -1;
    }
    const std::int64_t count = std::min(available, frames);
    std::memcpy(out, fifo_.data() + fifo_offset_,
                static_cast<std::size_t>(count * channels) * sizeof(float));
    fifo_offset_ += static_cast<std::size_t>(count * channels);
    next_frame_ += count;
    delivered_ = true;
    lock.unlock();
    fifo_space_.notify_all();
    ClearError();
    return count;
  }

  bool Seek(std::int64_t frame) override {
    // A live stream cannot go back; HLS is read straight through; a finite one moves within
    // what has been downloaded.
    if (live_ || hls_ || (settings_.flags & kStreamBlock)) return Fail(kErrorNotFile);
    if (!WithinDownload(frame)) return Fail(kErrorPosition);
    // Nothing past what has arrived is waited for: such a seek fails at once. This also wakes the
    // decoding thread if it waits at the edge of the download (it then sees an end, which the
    // seek below undoes).
    reader_->SetWaitForData(false);
    std::lock_guard decoding(decoder_mutex_);
    std::int64_t previous = 0;
    {
      std::lock_guard lock(fifo_mutex_);
      previous = next_frame_;
    }
    ClearError();
    const bool moved = decoder_->Seek(frame);
    const int error = LastError();
    // A failed seek leaves the decoder anywhere: back to where playback was.
    const bool in_place = moved || decoder_->Seek(previous);
    reader_->SetWaitForData(true);
    {
      std::lock_guard lock(fifo_mutex_);
      ++generation_;
      fifo_.clear();
      fifo_offset_ = 0;
      decoder_ended_ = !in_place;
      prebuffering_ = false;
      delivered_ = false;
      if (moved) next_frame_ = frame;
    }
    fifo_space_.notify_all();
    if (!moved) return Fail(error == kOk ? kErrorPosition : error);
    ClearError();
    return true;
  }

  std::int64_t LengthFrames() const override { return length_; }

  // Whether the bytes of `frame` have arrived, judged from its share of the length (exact for
  // constant bitrates, with a margin for the others).
  bool WithinDownload(std::int64_t frame) const {
    if (reader_->Complete()) return true;
    const std::int64_t total = reader_->content_length();
    if (length_ <= 0 || total <= 0) return false;
    const double share = static_cast<double>(frame) / static_cast<double>(length_);
    const auto estimated = static_cast<std::int64_t>(share * static_cast<double>(total));
    return estimated + kSeekMarginBytes <= reader_->ArrivedBytes();
  }

  double NextFrameSeconds() const override {
    std::lock_guard lock(fifo_mutex_);
    return static_cast<double>(next_frame_) / format_.sample_rate;
  }

  std::optional<std::string> Tags(TagBlock block) const override {
    const bool status = (settings_.flags & kStreamStatus) != 0;
    switch (block) {
      case TagBlock::kHttp:
        if (status && !reader_->icy_response()) return reader_->header_block();
        return std::nullopt;
      case TagBlock::kIcy:
        if (status && reader_->icy_response()) return reader_->header_block();
        return std::nullopt;
      case TagBlock::kMeta:
        return reader_->MetaBlock();
      default:
        return decoder_->Tags(block);  // fixed once the decoder opened
    }
  }

  double BitrateKbps() const override {
    return decoder_kbps_ > 0 ? decoder_kbps_ : static_cast<double>(reader_->icy_bitrate_kbps());
  }

  std::string CodecName() const override { return codec_; }

 private:
  std::int64_t FifoFramesLocked() const {
    return static_cast<std::int64_t>(fifo_.size() - fifo_offset_) / format_.channels;
  }

  void DecodeLoop() {
    const int channels = format_.channels;
    std::vector<float> step(static_cast<std::size_t>(kDecodeStepFrames * channels));
    for (;;) {
      std::uint64_t generation = 0;
      {
        std::unique_lock lock(fifo_mutex_);
        fifo_space_.wait(lock, [&] {
          return stop_ || (!decoder_ended_ && FifoFramesLocked() < fifo_capacity_);
        });
        if (stop_) return;
      }
      std::int64_t got = 0;
      {
        std::lock_guard decoding(decoder_mutex_);
        {
          // Taken with the decoder held: a seek between the two would otherwise have these
          // frames, read from the new place, thrown away as stale.
          std::lock_guard lock(fifo_mutex_);
          generation = generation_;
        }
        got = decoder_->Read(step.data(), kDecodeStepFrames);
      }
      std::lock_guard lock(fifo_mutex_);
      if (generation != generation_) continue;  // a seek came in between: these are stale
      if (got <= 0) {
        // The end, or a failure (the connection dropped, the time-out): the channel ends.
        decoder_ended_ = true;
        continue;
      }
      if (fifo_offset_ > 0 && fifo_offset_ >= fifo_.size() / 2) {
        fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(fifo_offset_));
        fifo_offset_ = 0;
      }
      fifo_.insert(fifo_.end(), step.begin(), step.begin() + got * channels);
    }
  }

  // On the download thread.
  void OnStreamEvent(SyncType type) {
    if (type == SyncType::kDownloadComplete) {
      if (hls_) return;  // the playlist, not the media, has arrived
      download_complete_ = true;
      ReportCompleteOnce();
      return;
    }
    // A title that arrived while the stream was being opened is reported at the first read, so
    // the song playing when the station starts is not missed.
    if (!read_started_.load()) {
      meta_pending_ = true;
      if (!read_started_.load() || meta_pending_.exchange(false) == false) return;
    }
    ReportSourceEvent(*this, type);
  }

  // The download may complete before the channel exists; it is then reported at the first read,
  // when the channel and its syncs are in place. Either way once.
  void ReportCompleteOnce() {
    if (download_complete_.load() && read_started_.load() && !complete_reported_.exchange(true)) {
      ReportSourceEvent(*this, SyncType::kDownloadComplete);
    }
  }

  std::unique_ptr<Source> decoder_;
  HttpStreamReader* const reader_;  // owned by the decoder
  const SourceFormat format_;
  const bool live_;
  const bool hls_;
  const UrlSourceSettings settings_;
  const std::int64_t length_;
  const std::string codec_;
  const double decoder_kbps_;
  const std::int64_t fifo_capacity_;

  std::mutex decoder_mutex_;  // the decoding thread's reads against seeks
  mutable std::mutex fifo_mutex_;
  std::condition_variable fifo_space_;
  std::vector<float> fifo_;
  std::size_t fifo_offset_ = 0;  // in samples
  std::int64_t next_frame_ = 0;
  std::uint64_t generation_ = 0;
  bool decoder_ended_ = false;
  bool prebuffering_ = false;  // the first start does not wait for the prebuffer
  bool delivered_ = false;     // audio has been handed out since the start or the last seek
  bool stop_ = false;

  std::atomic<bool> read_started_{false};
  std::atomic<bool> download_complete_{false};
  std::atomic<bool> meta_pending_{false};
  std::atomic<bool> complete_reported_{false};
  std::thread thread_;
};

bool CancelRequested(const UrlSourceSettings& settings) {
  return settings.options.cancel && settings.options.cancel->load();
}

}  // namespace

std::unique_ptr<Source> OpenUrlSource(const std::string& url, const UrlSourceSettings& settings,
                                      int* error) {
  if (!IsHttpAddress(url)) {
    *error = kErrorFileOpen;
    return nullptr;
  }
  HttpStreamSettings http;
  http.timeout_ms = settings.timeout_ms;
  http.buffer_ms = settings.buffer_ms;
  http.small_blocks = (settings.flags & kStreamBlock) != 0;
  http.user_agent = settings.user_agent;
  http.cancel = settings.options.cancel;
  std::unique_ptr<HttpStreamReader> reader = HttpStreamReader::Open(url, http, error);
  if (!reader) return nullptr;
  HttpStreamReader* const raw_reader = reader.get();

  const bool hls = PathIsHlsPlaylist(url) || PathIsHlsPlaylist(reader->effective_url()) ||
                   IsHlsContentType(reader->content_type());
  if (!hls && reader->content_type().starts_with("text/html")) {
    *error = kErrorFileForm;  // a web page, not a stream
    return nullptr;
  }

  NetworkOpenOptions network;
  std::unique_ptr<ByteReader> input;
  const std::string address = reader->effective_url().empty() ? url : reader->effective_url();
  if (hls) {
    network.forced_format = "hls";
    HttpStreamSettings nested = http;
    nested.small_blocks = false;
    // Freeing the channel stops the playlist's reader, and with it any segment being opened.
    nested.owner_stop = raw_reader->StopFlag();
    network.open_nested = [nested](const std::string& segment) -> std::unique_ptr<ByteReader> {
      if (!IsHttpAddress(segment)) return nullptr;  // never a local file named by a playlist
      int ignored = 0;
      return HttpStreamReader::Open(segment, nested, &ignored);
    };
    input = std::make_unique<ForwardOnlyReader>(std::move(reader));
  } else {
    if (settings.options.prefer_aac && LooksLikeAdts(reader->Peek(kAdtsProbeBytes))) {
      network.forced_format = "aac";
    }
    input = std::move(reader);
  }

  ClearError();
  std::unique_ptr<Source> decoder = OpenNetworkStreamSource(std::move(input), address, network);
  if (!decoder) {
    *error = CancelRequested(settings) ? kErrorCancelled
             : LastError() == kOk      ? kErrorFileForm
                                       : LastError();
    return nullptr;
  }
  // Live: no announced length (ICY streams never announce one), or an HLS playlist without end.
  const bool live = hls ? decoder->LengthFrames() < 0 : raw_reader->content_length() < 0;
  *error = kOk;
  return std::make_unique<UrlSource>(std::move(decoder), raw_reader, live, hls, settings);
}

}  // namespace kestrel::audio
