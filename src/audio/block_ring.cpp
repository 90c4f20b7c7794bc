#include "audio/block_ring.h"

#include <algorithm>

namespace kestrel::audio {

void BlockRing::Allocate(int block_count, int block_capacity_frames, int channels) {
  block_capacity_ = block_capacity_frames;
  channels_ = channels;
  storage_.assign(static_cast<std::size_t>(block_count) * block_capacity_frames * channels, 0.0f);
  blocks_.assign(static_cast<std::size_t>(block_count), StampedBlock{});
  for (int i = 0; i < block_count; ++i) {
    blocks_[static_cast<std::size_t>(i)].samples =
        storage_.data() + static_cast<std::size_t>(i) * block_capacity_frames * channels;
  }
  Reset();
}

StampedBlock* BlockRing::WritableBlock() {
  if (blocks_.empty()) return nullptr;
  const std::uint64_t written = write_count_.load(std::memory_order_relaxed);
  const std::uint64_t read = read_count_.load(std::memory_order_acquire);
  if (written - read >= blocks_.size()) return nullptr;
  return &blocks_[written % blocks_.size()];
}

void BlockRing::CommitWrite() {
  const std::uint64_t written = write_count_.load(std::memory_order_relaxed);
  const int frames = blocks_[written % blocks_.size()].frames;
  buffered_frames_.fetch_add(frames, std::memory_order_release);
  write_count_.store(written + 1, std::memory_order_release);
}

bool BlockRing::Empty() const {
  return read_count_.load(std::memory_order_acquire) ==
         write_count_.load(std::memory_order_acquire);
}

int BlockRing::ReadAdd(float* out, int frames, double* position, double* step) {
  int taken = 0;
  std::uint64_t read = read_count_.load(std::memory_order_relaxed);
  const std::uint64_t written = write_count_.load(std::memory_order_acquire);
  while (taken < frames && read != written) {
    const StampedBlock& block = blocks_[read % blocks_.size()];
    const int count = std::min(frames - taken, block.frames - read_offset_);
    const float* from = block.samples + static_cast<std::size_t>(read_offset_) * channels_;
    float* to = out + static_cast<std::size_t>(taken) * channels_;
    for (int i = 0; i < count * channels_; ++i) to[i] += from[i];
    taken += count;
    read_offset_ += count;
    buffered_frames_.fetch_sub(count, std::memory_order_release);
    const double block_step =
        block.frames > 0 ? (block.end_frame - block.start_frame) / block.frames : 0.0;
    *step = block_step;
    *position = block.start_frame + block_step * read_offset_;
    if (read_offset_ >= block.frames) {
      *position = block.end_frame;
      read_offset_ = 0;
      ++read;
      read_count_.store(read, std::memory_order_release);
    }
  }
  return taken;
}

void BlockRing::Reset() {
  write_count_.store(0, std::memory_order_relaxed);
  read_count_.store(0, std::memory_order_relaxed);
  buffered_frames_.store(0, std::memory_order_release);
  read_offset_ = 0;
}

}  // namespace kestrel::audio
