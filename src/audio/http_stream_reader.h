#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "audio/audio.h"
#include "audio/byte_reader.h"
#include "audio/icy_demuxer.h"

// The bytes of an internet stream: a libcurl transfer on its own download thread fills a buffer
// the decoder reads from. Shoutcast/Icecast metadata is taken out of the body on the way in.
//
// A finite body (its length announced, and not read in small blocks) is kept whole in memory, so
// the decoder can seek back anywhere already downloaded; a seek past what has arrived fails. A
// live body (no length, an ICY stream, or small-block reading) keeps at most the network buffer:
// the download waits while it is full, and nothing already read can be read again.
namespace kestrel::audio {

struct HttpStreamSettings {
  int timeout_ms = 5000;    // no data for this long (connecting included): the transfer fails
  int buffer_ms = 5000;     // live buffer length at the stream's bitrate
  bool small_blocks = false;  // read as a live body even when the length is known
  bool keep_headers = true;
  std::string user_agent;   // empty: the program's own
  const std::atomic<bool>* cancel = nullptr;  // set from another thread: give up at once
  const std::atomic<bool>* owner_stop = nullptr;  // a second such flag: the reader this one serves
};

class HttpStreamReader final : public ByteReader {
 public:
  // Starts the transfer and waits until the body begins (or the transfer ends). nullptr with
  // `*error` set: kErrorFileOpen (cannot connect, status >= 400, redirect loop), kErrorTimeout,
  // kErrorSsl, kErrorNoNet, kErrorCancelled.
  static std::unique_ptr<HttpStreamReader> Open(const std::string& url,
                                                const HttpStreamSettings& settings, int* error);
  ~HttpStreamReader() override;
  HttpStreamReader(const HttpStreamReader&) = delete;
  HttpStreamReader& operator=(const HttpStreamReader&) = delete;

  // Blocks until data, the end, a failure, a cancel or the network time-out.
  std::int64_t Read(void* buffer, std::int64_t size) override;
  bool Seek(std::int64_t offset) override;
  // The announced length of a finite body; -1 for a live one (read straight through).
  std::int64_t Size() const override;

  // What the response said; fixed once Open has returned.
  // The response headers, status line first, each NUL-terminated, an empty one ending the list.
  const std::string& header_block() const { return header_block_; }
  bool icy_response() const { return icy_response_; }  // "ICY 200 OK" (Shoutcast)
  const std::string& content_type() const { return content_type_; }
  const std::string& effective_url() const { return effective_url_; }
  std::int64_t content_length() const { return content_length_; }
  int icy_bitrate_kbps() const { return icy_bitrate_kbps_; }
  bool has_icy_metadata() const { return metaint_ > 0; }
  // Live: no announced length, an ICY stream or small-block reading.
  bool live() const { return !keep_whole_; }

  // The newest metadata block ("StreamTitle='...';"), if any arrived.
  std::optional<std::string> MetaBlock() const;
  // Up to `count` bytes from the read position without consuming them; waits for them as Read
  // does, returns fewer at the end.
  std::string Peek(std::size_t count);

  // The stream's bitrate once the decoder knows it: the live buffer is sized from it when the
  // server announced none.
  void SetBitrateKbps(double kbps);
  // Unread bytes over the buffer size (1 when full); the prebuffer test.
  double BufferFill() const;
  std::int64_t ArrivedBytes() const;  // body bytes received so far (metadata excluded)
  bool Finished() const;  // the transfer has ended, for any reason
  bool Complete() const;  // a body of announced length has arrived whole

  // Called on the download thread for a new, different metadata block (kMeta) and once when a
  // body of announced length has arrived whole (kDownloadComplete).
  void SetEventHandler(std::function<void(SyncType)> handler);

  // With false, Read and Peek no longer wait: at the edge of what has arrived Read fails at once
  // (a seek must not wait for the download to reach its target). Default true.
  void SetWaitForData(bool wait);

  // Ends the transfer and wakes every wait.
  void Cancel();
  // Set once Cancel has been called: for readers opened on this one's behalf (HLS segments).
  const std::atomic<bool>* StopFlag() const { return &cancel_; }

 private:
  explicit HttpStreamReader(const HttpStreamSettings& settings);
  bool Start(const std::string& url);
  void Run();
  bool Cancelled() const;
  // Waits on `wake` a short while, so an outside cancel flag is noticed promptly.
  void WaitBriefly(std::unique_lock<std::mutex>& lock, std::condition_variable& wake);

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
  void TakeHeadersLocked();
  std::size_t CapacityLocked() const;
  std::int64_t UnreadLocked() const;
  void Notify(SyncType type);

  const HttpStreamSettings settings_;
  struct Transfer;
  std::unique_ptr<Transfer> transfer_;
  std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable data_arrived_;  // also: started, finished, cancelled
  std::condition_variable space_freed_;
  std::atomic<bool> cancel_{false};
  bool started_ = false;   // the body began (headers taken) or the transfer ended
  bool finished_ = false;
  int failure_ = 0;        // an error code once finished with a failure
  bool complete_ = false;
  bool wait_for_data_ = true;

  // Filled from the headers (fixed once started_).
  std::string pending_headers_;  // lines of the response being received
  std::string header_block_;
  bool icy_response_ = false;
  std::string content_type_;
  std::string effective_url_;
  std::int64_t content_length_ = -1;
  int icy_bitrate_kbps_ = 0;
  std::size_t metaint_ = 0;
  bool keep_whole_ = false;
  std::unique_ptr<IcyDemuxer> demuxer_;

  // The body: data_[0] is at stream offset data_start_.
  std::string data_;
  std::int64_t data_start_ = 0;
  std::int64_t read_position_ = 0;
  std::int64_t received_ = 0;  // body bytes (metadata excluded)
  double codec_kbps_ = 0;
  std::optional<std::string> meta_;
  std::function<void(SyncType)> handler_;
};

}  // namespace kestrel::audio
