// Handles and lifetimes: stale handles fail cleanly, handles are never reused, and freeing a
// channel waits for its callbacks and frees what it owns.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "audio/audio.h"
#include "audio/support/generated_sources.h"
#include "audio/support/null_output_fixture.h"

namespace kestrel::audio {
namespace {

using test::FrameCounterSource;
using test::NullOutputTest;
using test::SineSource;

using LifetimeTest = NullOutputTest;

Handle MakeChannel(std::uint32_t flags = 0, double seconds = 2.0) {
  return CreateSourceStream(std::make_unique<SineSource>(44100, 2, 440, 0.2f,
                                                         static_cast<std::int64_t>(seconds * 44100)),
                            flags);
}

bool WaitFor(const std::function<bool()>& condition) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST_F(LifetimeTest, EveryCallOnAStaleOrNullHandleFailsWithTheHandleError) {
  const Handle played = MakeChannel();
  const Handle decoding = MakeChannel(kStreamDecode);
  ASSERT_TRUE(FreeStream(played));
  ASSERT_TRUE(FreeStream(decoding));
  float value = 0;
  float buffer[16];
  ChannelInfo info;
  const std::vector<std::pair<const char*, std::function<bool(Handle)>>> calls = {
      {"FreeStream", [](Handle h) { return FreeStream(h); }},
      {"Play", [](Handle h) { return Play(h, false); }},
      {"Pause", [](Handle h) { return Pause(h); }},
      {"Stop", [](Handle h) { return Stop(h); }},
      {"GetLength", [](Handle h) { return GetLength(h) != -1; }},
      {"GetPosition", [](Handle h) { return GetPosition(h) != -1; }},
      {"SetPosition", [](Handle h) { return SetPosition(h, 0); }},
      {"SetAttribute", [](Handle h) { return SetAttribute(h, Attribute::kVolume, 1); }},
      {"GetAttribute", [&](Handle h) { return GetAttribute(h, Attribute::kVolume, &value); }},
      {"GetData", [&](Handle h) { return GetData(h, buffer, sizeof buffer) != -1; }},
      {"GetInfo", [&](Handle h) { return GetInfo(h, &info); }},
      {"GetTags", [](Handle h) { return GetTags(h, TagBlock::kId3v2).has_value(); }},
      {"SetDsp", [](Handle h) { return SetDsp(h, [](float*, int, int, int) {}, 0) != 0; }},
      {"SetSync", [](Handle h) { return SetSync(h, SyncType::kEnd, false, [](Handle, Handle) {}) != 0; }},
      {"CreateTempoStream", [](Handle h) { return CreateTempoStream(h, 0) != 0; }},
  };
  for (Handle stale : {played, decoding, Handle{0}, Handle{0xfffffff0u}}) {
    for (const auto& [name, call] : calls) {
      ClearError();
      EXPECT_FALSE(call(stale)) << name << " on " << stale;
      EXPECT_EQ(LastError(), kErrorHandle) << name << " on " << stale;
    }
    ClearError();
    EXPECT_EQ(IsActive(stale), ActiveState::kStopped);
    EXPECT_EQ(LastError(), kErrorHandle);
  }
}

TEST_F(LifetimeTest, HandlesAreNeverGivenTwice) {
  std::set<Handle> seen;
  for (int i = 0; i < 50; ++i) {
    const Handle channel = MakeChannel(i % 2 ? std::uint32_t{kStreamDecode} : 0u);
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(seen.insert(channel).second);
    const Handle sync = SetSync(channel, SyncType::kEnd, false, [](Handle, Handle) {});
    EXPECT_TRUE(seen.insert(sync).second);
    ASSERT_TRUE(FreeStream(channel));
  }
}

TEST_F(LifetimeTest, FreeingWaitsForADspCallInFlightAndThenReleasesTheSource) {
  std::atomic<bool> inside{false}, source_gone{false}, gone_while_inside{false};
  std::atomic<int> calls_after_free{0}, calls{0};
  std::atomic<bool> freed{false};
  auto source = std::make_unique<SineSource>(44100, 2, 440, 0.2f, 10 * 44100);
  source->on_destroy = [&] {
    if (inside) gone_while_inside = true;
    source_gone = true;
  };
  const Handle channel = CreateSourceStream(std::move(source), 0);
  ASSERT_NE(SetDsp(channel,
                   [&](float*, int, int, int) {
                     if (freed) ++calls_after_free;
                     if (++calls == 3) {
                       inside = true;
                       std::this_thread::sleep_for(std::chrono::milliseconds(150));
                       inside = false;
                     }
                   },
                   0),
            0u);
  SetNullDeviceSpeed(1);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitFor([&] { return inside.load(); }));
  ASSERT_TRUE(FreeStream(channel));
  freed = true;
  EXPECT_FALSE(inside.load());
  EXPECT_TRUE(source_gone.load());
  EXPECT_FALSE(gone_while_inside.load());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(calls_after_free.load(), 0);
}

TEST_F(LifetimeTest, FreeingWaitsForASyncCallbackInFlight) {
  const Handle channel =
      CreateSourceStream(std::make_unique<FrameCounterSource>(44100, 2000), 0);
  std::atomic<bool> inside{false}, finished{false};
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false,
                    [&](Handle, Handle) {
                      inside = true;
                      std::this_thread::sleep_for(std::chrono::milliseconds(150));
                      finished = true;
                    }),
            0u);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(WaitFor([&] { return inside.load(); }));
  ASSERT_TRUE(FreeStream(channel));
  EXPECT_TRUE(finished.load());
}

TEST_F(LifetimeTest, AFreedChannelLetsGoOfItsDspsEffectsAndSyncs) {
  const Handle channel = MakeChannel();
  auto tracker = std::make_shared<int>(0);
  struct NullEffect : Effect {
    void Process(float*, int, int, int) override {}
  };
  auto slot = std::make_shared<NullEffect>();
  ASSERT_NE(SetEffect(channel, slot, 0), 0u);
  ASSERT_NE(SetDsp(channel, [tracker](float*, int, int, int) {}, 0), 0u);
  ASSERT_NE(SetSync(channel, SyncType::kEnd, false, [tracker](Handle, Handle) {}), 0u);
  EXPECT_EQ(tracker.use_count(), 3);
  EXPECT_EQ(slot.use_count(), 2);
  ASSERT_TRUE(Play(channel, false));
  ASSERT_TRUE(FreeStream(channel));
  EXPECT_EQ(tracker.use_count(), 1);
  EXPECT_EQ(slot.use_count(), 1);
}

TEST_F(LifetimeTest, FreeOutputFreesEveryChannel) {
  const Handle played = MakeChannel();
  const Handle decoding = MakeChannel(kStreamDecode);
  ASSERT_TRUE(Play(played, false));
  ASSERT_TRUE(FreeOutput());
  EXPECT_EQ(GetPosition(played), -1);
  EXPECT_EQ(LastError(), kErrorHandle);
  EXPECT_EQ(GetPosition(decoding), -1);
  EXPECT_EQ(LastError(), kErrorHandle);
  ASSERT_TRUE(InitOutput(1, kMixRate));  // for TearDown
}

TEST_F(LifetimeTest, ATempoStreamFreesItsSourceOnlyWhenAskedTo) {
  for (const bool owns : {true, false}) {
    const Handle source = MakeChannel(kStreamDecode);
    const Handle tempo = CreateTempoStream(source, owns ? std::uint32_t{kStreamFreeSource} : 0u);
    ASSERT_NE(tempo, 0u) << LastError();
    ASSERT_TRUE(Play(tempo, false));
    ASSERT_TRUE(FreeStream(tempo));
    EXPECT_EQ(GetLength(source) == -1, owns);
    if (!owns) {
      EXPECT_TRUE(FreeStream(source));
    }
  }
}

}  // namespace
}  // namespace kestrel::audio
