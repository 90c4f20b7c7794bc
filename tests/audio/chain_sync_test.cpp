// What acts on a playing channel: DSP hooks and effect slots by priority, encoder taps, syncs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/source_events.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;
using test::SineSource;

using ChainTest = NullOutputTest;

Handle MakeSine(std::uint32_t flags, double seconds = 0.5, float amplitude = 0.4f) {
  return CreateSourceStream(std::make_unique<SineSource>(44100, 2, 1000, amplitude,
                                                         static_cast<std::int64_t>(seconds * 44100)),
                            flags);
}

// Notes the order the stages run in, once.
class OrderLog {
 public:
  void Note(const std::string& stage) {
    std::lock_guard lock(mutex_);
    if (order_.size() < 16) order_.push_back(stage);
  }
  std::vector<std::string> First(std::size_t count) {
    std::lock_guard lock(mutex_);
    return {order_.begin(), order_.begin() + static_cast<long>(std::min(count, order_.size()))};
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> order_;
};

class NotingEffect : public Effect {
 public:
  NotingEffect(OrderLog* log, std::string name) : log_(log), name_(std::move(name)) {}
  void Process(float*, int, int, int) override { log_->Note(name_); }
  void Reset() override { ++resets; }
  std::atomic<int> resets{0};

 private:
  OrderLog* log_;
  std::string name_;
};

TEST_F(ChainTest, StagesRunByPriorityHighestFirstAndInSettingOrderWhenEqual) {
  const Handle channel = MakeSine(kStreamDecode);
  OrderLog log;
  auto note = [&log](std::string name) {
    return [&log, name](float*, int, int, int) { log.Note(name); };
  };
  ASSERT_NE(SetDsp(channel, note("dsp 1"), 1), 0u);
  ASSERT_NE(SetDsp(channel, note("dsp 10 first"), 10), 0u);
  ASSERT_NE(SetEffect(channel, std::make_shared<NotingEffect>(&log, "effect 7"), 7), 0u);
  ASSERT_NE(SetDsp(channel, note("dsp 5"), 5), 0u);
  ASSERT_NE(SetDsp(channel, note("dsp 10 second"), 10), 0u);
  ASSERT_NE(SetDsp(channel, note("volume stage"), -2000000000), 0u);
  std::vector<float> buffer(2 * 256);
  ASSERT_EQ(GetData(channel, buffer.data(), 256 * 8), 256 * 8);
  EXPECT_EQ(log.First(6), (std::vector<std::string>{"dsp 10 first", "dsp 10 second", "effect 7",
                                                     "dsp 5", "dsp 1", "volume stage"}));
}

TEST_F(ChainTest, DspSeesTheSourceBeforeRateAndVolumeAndItsChangesAreHeard) {
  const Handle channel = MakeSine(0, 0.5, 0.4f);
  ASSERT_TRUE(SetAttribute(channel, Attribute::kVolume, 0.5f));
  ASSERT_TRUE(SetAttribute(channel, Attribute::kFrequency, 88200));
  std::atomic<float> loudest_seen{0};
  std::atomic<int> rate_seen{0};
  ASSERT_NE(SetDsp(channel,
                   [&](float* samples, int frames, int channels, int sample_rate) {
                     float loudest = loudest_seen;
                     for (int f = 0; f < frames; ++f) {
                       loudest = std::max(loudest, std::fabs(samples[f * channels]));
                       samples[f * channels + 1] = 0;  // silence the right side
                     }
                     loudest_seen = loudest;
                     rate_seen = sample_rate;
                   },
                   0),
            0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  EXPECT_NEAR(loudest_seen.load(), 0.4f, 0.001f);
  EXPECT_EQ(rate_seen.load(), 44100);
  const auto wav = TakeRecording();
  const std::int64_t heard = test::SoundFrames(wav);
  EXPECT_NEAR(heard, 11025, 4);  // half a second at double rate
  EXPECT_NEAR(test::Rms(wav, 0, 0, heard), 0.2 / std::sqrt(2.0), 0.003);
  EXPECT_EQ(test::Rms(wav, 1, 0, heard), 0.0);
}

TEST_F(ChainTest, RemovedStagesAreNotCalledAgainAndEachKindIsRemovedByItsOwnCall) {
  const Handle channel = MakeSine(kStreamDecode, 5.0);
  std::atomic<int> calls{0};
  const Handle dsp = SetDsp(channel, [&](float*, int, int, int) { ++calls; }, 0);
  OrderLog log;
  const Handle effect = SetEffect(channel, std::make_shared<NotingEffect>(&log, "e"), 0);
  std::vector<float> buffer(2 * 1024);
  ASSERT_GT(GetData(channel, buffer.data(), 1024 * 8), 0);
  EXPECT_EQ(calls.load(), 1);

  EXPECT_FALSE(RemoveDsp(channel, effect));
  EXPECT_EQ(LastError(), kErrorHandle);
  EXPECT_FALSE(RemoveEffect(channel, dsp));
  EXPECT_EQ(LastError(), kErrorHandle);
  EXPECT_TRUE(RemoveDsp(channel, dsp));
  EXPECT_TRUE(RemoveEffect(channel, effect));
  EXPECT_FALSE(RemoveDsp(channel, dsp));
  EXPECT_EQ(LastError(), kErrorHandle);
  ASSERT_GT(GetData(channel, buffer.data(), 1024 * 8), 0);
  EXPECT_EQ(calls.load(), 1);
}

TEST_F(ChainTest, ASeekResetsTheEffectSlots) {
  const Handle channel = MakeSine(0, 3.0);
  OrderLog log;
  auto effect = std::make_shared<NotingEffect>(&log, "e");
  ASSERT_NE(SetEffect(channel, effect, 0), 0u);
  ASSERT_TRUE(SetPosition(channel, SecondsToBytes(channel, 1.0)));
  EXPECT_EQ(effect->resets.load(), 1);
}

class CollectingEncoder : public EncoderSink {
 public:
  struct Record {
    std::atomic<std::int64_t> frames{0};
    std::atomic<int> channels{0};
    std::atomic<int> sample_rate{0};
    std::atomic<float> loudest{0};
    std::atomic<int> finished{0};
  };
  explicit CollectingEncoder(Record* record) : record_(record) {}
  void Write(const float* samples, int frames, int channels, int sample_rate) override {
    record_->frames += frames;
    record_->channels = channels;
    record_->sample_rate = sample_rate;
    float loudest = record_->loudest;
    for (int i = 0; i < frames * channels; ++i) loudest = std::max(loudest, std::fabs(samples[i]));
    record_->loudest = loudest;
  }
  void Finish() override { ++record_->finished; }

 private:
  Record* record_;
};

TEST_F(ChainTest, AnEncoderTapsTheFinalOutputAndIsFinishedOnce) {
  const Handle channel = MakeSine(0, 1.0, 0.4f);
  ASSERT_TRUE(SetAttribute(channel, Attribute::kVolume, 0.5f));
  CollectingEncoder::Record stopped, freed;
  const Handle encoder = StartEncoder(channel, std::make_unique<CollectingEncoder>(&stopped));
  ASSERT_NE(StartEncoder(channel, std::make_unique<CollectingEncoder>(&freed)), 0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  EXPECT_EQ(stopped.frames.load(), 44100);
  EXPECT_EQ(stopped.channels.load(), 2);
  EXPECT_EQ(stopped.sample_rate.load(), 44100);
  EXPECT_NEAR(stopped.loudest.load(), 0.2f, 0.001f);

  EXPECT_TRUE(StopEncoder(encoder));
  EXPECT_EQ(stopped.finished.load(), 1);
  EXPECT_FALSE(StopEncoder(encoder));
  EXPECT_EQ(LastError(), kErrorHandle);
  EXPECT_EQ(freed.finished.load(), 0);
  EXPECT_TRUE(FreeStream(channel));
  EXPECT_EQ(freed.finished.load(), 1);
  EXPECT_EQ(stopped.finished.load(), 1);
}

TEST_F(ChainTest, OneTimeSyncsFireOnceAndRemovedSyncsNever) {
  const Handle channel =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, 10000), 0);
  std::atomic<int> once{0}, every{0}, removed{0};
  const Handle one_time = SetSync(channel, SyncType::kEnd, true, [&](Handle, Handle) { ++once; });
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++every; }), 0u);
  const Handle gone = SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++removed; });
  EXPECT_TRUE(RemoveSync(channel, gone));
  EXPECT_FALSE(RemoveSync(channel, gone));
  EXPECT_EQ(LastError(), kErrorHandle);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(Play(channel, true));
    ASSERT_TRUE(WaitUntilStopped(channel));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(once.load(), 1);
  EXPECT_EQ(every.load(), 2);
  EXPECT_EQ(removed.load(), 0);
  EXPECT_FALSE(RemoveSync(channel, one_time));  // a one-time sync is gone once it fired
}

TEST_F(ChainTest, AnAutoFreeChannelIsFreedWhenItEnds) {
  const Handle channel = CreateSourceStream(
      std::make_unique<FrameCounterSource>(44100, 5000), kStreamAutoFree);
  std::atomic<int> ended{0};
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++ended; }), 0u);
  ASSERT_TRUE(Play(channel, false));
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (GetPosition(channel) >= 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(LastError(), kErrorHandle);
  EXPECT_EQ(ended.load(), 1);
}

// Reports a new metadata block when it passes one frame, as an internet stream would.
class MetadataSource : public FrameCounterSource {
 public:
  MetadataSource() : FrameCounterSource(44100, 44100) {}
  std::int64_t Read(float* out, std::int64_t frames) override {
    const double before = NextFrameSeconds();
    const std::int64_t got = FrameCounterSource::Read(out, frames);
    if (before < 0.5 && NextFrameSeconds() >= 0.5) ReportSourceEvent(*this, SyncType::kMeta);
    return got;
  }
};

TEST_F(ChainTest, ASourceReportingMetadataRunsTheMetaSyncsOfItsChannel) {
  const Handle channel = CreateSourceStream(std::make_unique<MetadataSource>(), 0);
  std::atomic<int> meta{0}, end{0};
  ASSERT_NE(SetSync(channel, SyncType::kMeta, false, [&](Handle, Handle) { ++meta; }), 0u);
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [&](Handle, Handle) { ++end; }), 0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitUntilStopped(channel));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(meta.load(), 1);
  EXPECT_EQ(end.load(), 1);
}

TEST_F(ChainTest, AChannelCanFreeItselfFromItsOwnDsp) {
  std::atomic<bool> source_gone{false};
  auto source = std::make_unique<SineSource>(44100, 2, 440, 0.2f, 44100 * 5);
  source->on_destroy = [&] { source_gone = true; };
  const Handle channel = CreateSourceStream(std::move(source), 0);
  std::atomic<int> calls{0};
  std::atomic<bool> freed{false};
  ASSERT_NE(SetDsp(channel,
                   [&, channel](float*, int, int, int) {
                     if (++calls == 2) freed = FreeStream(channel);
                   },
                   0),
            0u);
  ASSERT_TRUE(Play(channel, false));
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!source_gone && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(freed.load());
  EXPECT_TRUE(source_gone.load());
  EXPECT_EQ(GetPosition(channel), -1);
  EXPECT_EQ(calls.load(), 2);
}

}  // namespace
}  // namespace kestrel::audio
