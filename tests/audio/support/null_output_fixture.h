#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "audio/audio.h"
#include "audio/support/wav_reader.h"
#include "support/temp_folder.h"

// A test with output started on the first null device, its clock running as fast as possible
// (time passes only while something plays) and the mix recorded to a WAV file.
namespace kestrel::test {

class NullOutputTest : public ::testing::Test {
 protected:
  static constexpr int kMixRate = 44100;

  void SetUp() override;
  void TearDown() override;

  // Waits until the channel is no longer playing (ended or freed). False on time-out.
  static bool WaitUntilStopped(audio::Handle channel,
                               std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Stops recording and reads the mix recorded so far.
  WavContents TakeRecording();

  TempFolder temp_;
  std::filesystem::path recording_;
};

// Frames of a stereo recording up to its last non-silent one.
std::int64_t SoundFrames(const WavContents& wav);
// Root mean square of one channel over [first, first + count).
double Rms(const WavContents& wav, int channel, std::int64_t first, std::int64_t count);
// Frequency from rising zero crossings of one channel over [first, first + count).
double MeasuredFrequency(const WavContents& wav, int channel, std::int64_t first,
                         std::int64_t count);

}  // namespace kestrel::test
