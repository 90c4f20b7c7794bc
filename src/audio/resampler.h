#pragma once

#include <vector>

// Changes a channel's playback rate: reads input at `ratio` input frames per output frame with
// four-point cubic (Catmull-Rom) interpolation, keeping the source time of every frame so the
// heard position stays exact. Buffers are sized once by Configure.
namespace kestrel::audio {

class Resampler {
 public:
  void Configure(int channels, int max_input_frames);
  void Reset();

  // Nothing buffered and no fractional phase: output can bypass the resampler at ratio 1.
  bool Clean() const { return pending_frames_ == 0 && position_ == 0.0 && !ending_; }
  int pending_frames() const { return pending_frames_; }
  int free_frames() const { return capacity_frames_ - pending_frames_; }

  // Appends input whose first frame has source time `start_stamp` and whose frames are
  // `stamp_step` source frames apart. The caller keeps frames <= free_frames().
  void Push(const float* input, int frames, double start_stamp, double stamp_step);
  // The input has ended: the last frames are produced without waiting for more.
  void MarkEnd() { ending_ = true; }
  bool Drained() const { return ending_ && position_ >= pending_frames_; }

  // Produces up to `max_frames` frames. `first_stamp` and `end_stamp` receive the source times
  // of the first produced frame and of the frame after the last.
  int Pull(float* output, int max_frames, double ratio, double* first_stamp, double* end_stamp);

 private:
  float At(int frame, int channel) const;

  std::vector<float> pending_;
  int channels_ = 0;
  int capacity_frames_ = 0;
  int pending_frames_ = 0;
  double position_ = 0;    // the next output frame's place in pending_, in frames
  double stamp_base_ = 0;  // source time of pending_[0]
  double stamp_step_ = 1;
  bool ending_ = false;
};

}  // namespace kestrel::audio
