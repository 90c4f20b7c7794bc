#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

// The ring between the update thread (the only writer) and the device callback (the only
// reader) of one played channel. Each block holds mixed-format frames and the source time of
// its first frame and of the frame after its last, so the reader can tell what is heard.
// Reset runs only while both sides are held off by the channel (see Channel).
namespace kestrel::audio {

struct StampedBlock {
  float* samples = nullptr;  // frames × channels, interleaved
  int frames = 0;
  double start_frame = 0;  // source frame of samples[0]
  double end_frame = 0;    // source frame just after the last one
};

class BlockRing {
 public:
  // Allocates every block once; nothing is allocated afterwards.
  void Allocate(int block_count, int block_capacity_frames, int channels);

  int block_capacity() const { return block_capacity_; }
  int channels() const { return channels_; }
  std::int64_t capacity_frames() const {
    return static_cast<std::int64_t>(blocks_.size()) * block_capacity_;
  }

  // Writer side. The block to fill, or nullptr when the ring is full.
  StampedBlock* WritableBlock();
  void CommitWrite();

  // Reader side. Copies up to `frames` frames, adding them into `out` (interleaved, channels()
  // wide); returns how many were taken. `position` receives the source time of the next frame
  // to be read and `step` the source frames per read frame of the current block.
  int ReadAdd(float* out, int frames, double* position, double* step);
  bool Empty() const;

  // Frames written and not yet read (both sides may call it).
  std::int64_t buffered_frames() const { return buffered_frames_.load(std::memory_order_acquire); }

  // Drops everything. The caller guarantees that neither side is running.
  void Reset();

 private:
  std::vector<StampedBlock> blocks_;
  std::vector<float> storage_;
  int block_capacity_ = 0;
  int channels_ = 0;
  std::atomic<std::uint64_t> write_count_{0};
  std::atomic<std::uint64_t> read_count_{0};
  std::atomic<std::int64_t> buffered_frames_{0};
  int read_offset_ = 0;  // frames already read from the front block (reader only)
};

}  // namespace kestrel::audio
