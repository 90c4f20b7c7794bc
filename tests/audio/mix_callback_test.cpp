// The device callback only copies out of the rings: it never allocates and never waits for a
// lock. Allocations are counted by replacing operator new in this test program; locks by holding
// the registry's and the channel's locks while the device goes on mixing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>

#include "audio/audio.h"
#include "audio/layer.h"
#include "audio/mix_probe.h"
#include "audio/support/generated_sources.h"

namespace {

std::atomic<long> allocations_while_mixing{0};

void* Allocate(std::size_t size) {
  if (kestrel::audio::InsideMixOutput()) allocations_while_mixing.fetch_add(1);
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::SineSource;

class CountingEncoder : public EncoderSink {
 public:
  void Write(const float*, int, int, int) override {}
};

struct HalfGain : Effect {
  void Process(float* samples, int frames, int channels, int) override {
    for (int i = 0; i < frames * channels; ++i) samples[i] *= 0.5f;
  }
};

// Plays a mix of every kind of channel through whatever is started, and works the transport
// while it plays.
void PlayEveryKindOfChannel(double seconds) {
  const auto frames = static_cast<std::int64_t>(seconds * 44100);
  const Handle counter = CreateSourceStream(std::make_unique<FrameCounterSource>(44100, frames), 0);
  const Handle resampled =
      CreateSourceStream(std::make_unique<SineSource>(48000, 1, 440, 0.1f, frames), 0);
  std::int64_t fed = 0;
  const Handle user = CreateUserStream(22050, 2, 0, [&](float* out, std::int64_t count, bool* ended) {
    count = std::min(count, frames / 2 - fed);
    for (std::int64_t i = 0; i < count * 2; ++i) out[i] = 0.1f;
    fed += count;
    *ended = fed >= frames / 2;
    return count;
  });
  const Handle decoding =
      CreateSourceStream(std::make_unique<SineSource>(44100, 2, 300, 0.1f, frames), kStreamDecode);
  const Handle tempo = CreateTempoStream(decoding, kStreamFreeSource);
  ASSERT_NE(counter * resampled * user * tempo, 0u) << LastError();
  ASSERT_NE(SetDsp(counter, [](float* s, int f, int c, int) { s[f * c - 1] += 0; }, 5), 0u);
  ASSERT_NE(SetEffect(resampled, std::make_shared<HalfGain>(), 0), 0u);
  ASSERT_NE(StartEncoder(user, std::make_unique<CountingEncoder>()), 0u);
  ASSERT_NE(SetSync(counter, SyncType::kEnd, false, [](Handle, Handle) {}), 0u);
  ASSERT_TRUE(SetAttribute(resampled, Attribute::kFrequency, 60000));
  for (Handle channel : {counter, resampled, user, tempo}) ASSERT_TRUE(Play(channel, false));

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_TRUE(SetPosition(counter, SecondsToBytes(counter, seconds / 2), kPositionFlush));
  ASSERT_TRUE(SetAttribute(counter, Attribute::kVolume, 0.3f));
  ASSERT_TRUE(Pause(resampled));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(Play(resampled, false));
  ASSERT_TRUE(Stop(user));
  ASSERT_TRUE(Play(user, false));

  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < give_up &&
         (IsActive(counter) != ActiveState::kStopped || IsActive(user) != ActiveState::kStopped)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (Handle channel : {counter, resampled, user, tempo}) ASSERT_TRUE(FreeStream(channel));
}

TEST(MixCallbackTest, NothingIsAllocatedInsideTheMixOnTheNullDevice) {
  SetNullDeviceSpeed(0);
  ASSERT_TRUE(InitOutput(1, 44100));
  const std::uint64_t calls_before = MixOutputCalls();
  allocations_while_mixing = 0;
  PlayEveryKindOfChannel(3.0);
  EXPECT_GT(MixOutputCalls() - calls_before, 100u);
  EXPECT_EQ(allocations_while_mixing.load(), 0);
  ASSERT_TRUE(FreeOutput());
  SetNullDeviceSpeed(1);
}

TEST(MixCallbackTest, NothingIsAllocatedInsideTheMixOnSdlsThread) {
  const char* old_audio = std::getenv("KESTREL_AUDIO");
  const std::string saved = old_audio ? old_audio : "";
  unsetenv("KESTREL_AUDIO");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const bool started = InitOutput(-1, 44100);
  if (started) {
    const std::uint64_t calls_before = MixOutputCalls();
    allocations_while_mixing = 0;
    PlayEveryKindOfChannel(0.6);
    EXPECT_GT(MixOutputCalls() - calls_before, 10u);
    EXPECT_EQ(allocations_while_mixing.load(), 0);
    FreeOutput();
  }
  unsetenv("SDL_AUDIODRIVER");
  if (old_audio) setenv("KESTREL_AUDIO", saved.c_str(), 1);
  if (!started) GTEST_SKIP() << "SDL's dummy driver is not available";
}

TEST(MixCallbackTest, TheMixGoesOnWhileTheRegistryAndChannelLocksAreHeld) {
  SetNullDeviceSpeed(1);
  ASSERT_TRUE(InitOutput(1, 44100));
  const Handle handle =
      CreateSourceStream(std::make_unique<SineSource>(44100, 2, 440, 0.1f, 44100 * 10), 0);
  ASSERT_TRUE(Play(handle, false));
  std::shared_ptr<Channel> channel = FindChannel(handle);
  ASSERT_NE(channel, nullptr);
  Layer& layer = TheLayer();
  std::uint64_t mixed_while_locked = 0;
  {
    // The locks any other call on the channel takes (the update thread's wake-up lock is the
    // null device's business, outside the mix call).
    std::scoped_lock locks(layer.mutex, channel->mutex);
    const std::uint64_t before = MixOutputCalls();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    mixed_while_locked = MixOutputCalls() - before;
  }
  // 10 ms periods in real time: about 30, unless a mix call waited for one of the locks.
  EXPECT_GE(mixed_while_locked, 20u);
  channel.reset();
  ASSERT_TRUE(FreeOutput());
}

}  // namespace
}  // namespace kestrel::audio
