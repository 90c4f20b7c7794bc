#include "engine/transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

class TransportOperationsTest : public test::TransportTest {};

TEST_F(TransportOperationsTest, WithNothingOpenEveryOperationDoesNothingAndSaysNothing) {
  TheSettings().rewind_on_pause_ms = 2000;
  Pause();
  Stop();
  SeekBy(5);
  SeekTo(5);
  SeekToBeginning();
  SpeakElapsed();
  SpeakRemaining();
  SpeakTotal();
  EXPECT_TRUE(Spoken().empty());
  EXPECT_EQ(CurrentPositionSeconds(), 0);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
}

TEST_F(TransportOperationsTest, PauseHoldsThePositionAndRewindsBySetting) {
  const std::string file = ChirpFile("chirp.wav", 8);
  ASSERT_TRUE(OpenMedia(file));
  const audio::Handle output = ThePlayerState().output_stream;
  std::this_thread::sleep_for(1200ms);
  TheSettings().rewind_on_pause_ms = 1000;

  const int refreshes_before = refreshes_;
  Pause();
  EXPECT_EQ(audio::IsActive(output), audio::ActiveState::kPaused);
  const double paused_at = Position();
  EXPECT_GT(paused_at, 0.05);
  EXPECT_LT(paused_at, 0.6);
  EXPECT_GT(refreshes_, refreshes_before);
  std::this_thread::sleep_for(200ms);
  EXPECT_DOUBLE_EQ(Position(), paused_at);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(TransportOperationsTest, RewindOnPauseIsClampedRepeatsAndWaitsForOpening) {
  OpenPaused(ChirpFile("chirp.wav", 8));
  struct Case {
    double at;
    int rewind_ms;
    bool loading, opening;
    double expected;
  };
  const Case cases[] = {
      {1.5, 2000, false, false, 0.0},  // not below the start
      {5.0, 2000, false, false, 3.0},
      {5.0, 0, false, false, 5.0},
      {5.0, -300, false, false, 5.0},  // negative reads as none
      {5.0, 250, false, false, 4.75},
      {5.0, 2000, true, false, 5.0},  // an item being opened: no rewind
      {5.0, 2000, false, true, 5.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.at << " s, " << c.rewind_ms << " ms, loading "
                                      << c.loading << ", opening " << c.opening);
    SeekTo(c.at);
    TheSettings().rewind_on_pause_ms = c.rewind_ms;
    ThePlayerState().loading = c.loading;
    ThePlaylist().opening = c.opening;
    Pause();
    EXPECT_DOUBLE_EQ(Position(), c.expected);
    ThePlayerState().loading = false;
    ThePlaylist().opening = false;
  }
  // Pause is not a toggle: pausing again rewinds again.
  SeekTo(5);
  TheSettings().rewind_on_pause_ms = 2000;
  Pause();
  Pause();
  EXPECT_DOUBLE_EQ(Position(), 1.0);
  EXPECT_EQ(audio::IsActive(ThePlayerState().output_stream), audio::ActiveState::kPaused);
}

TEST_F(TransportOperationsTest, AnOutputStreamTheLayerNoLongerKnowsIsForgotten) {
  struct Case {
    const char* operation;
    void (*run)();
  };
  const Case cases[] = {
      {"pause", [] { Pause(); }},
      {"seek", [] { SeekBy(5); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    OpenPaused(ChirpFile("chirp.wav", 2));
    TheSettings().rewind_on_pause_ms = 500;
    PlayerState& state = ThePlayerState();
    state.source_channel = state.meta_channel;  // as a processor that leaves the source alone
    ASSERT_TRUE(audio::FreeStream(state.output_stream));
    c.run();
    EXPECT_EQ(state.output_stream, 0u);
    EXPECT_EQ(state.source_channel, 0u);
    EXPECT_TRUE(Spoken().empty());
    state.source_channel = 0;
    CloseMedia();
  }
}

TEST_F(TransportOperationsTest, ALiveStreamCannotBePausedAndStopsWhole) {
  ASSERT_TRUE(OpenMedia(ChirpFile("chirp.wav", 8)));
  PlayerState& state = ThePlayerState();
  state.is_live = true;
  const audio::Handle output = state.output_stream;
  const audio::Handle meta = state.meta_channel;
  TheSettings().rewind_on_pause_ms = 2000;

  Pause();
  EXPECT_EQ(Spoken(), Strings{"Cannot pause live stream"});
  EXPECT_EQ(audio::IsActive(output), audio::ActiveState::kPlaying);

  const int refreshes_before = refreshes_;
  Stop();
  audio::GetLength(output);
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);  // freed
  audio::GetLength(meta);
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);
  EXPECT_EQ(state.output_stream, 0u);
  EXPECT_EQ(state.meta_channel, 0u);
  EXPECT_EQ(state.end_sync, 0u);
  EXPECT_FALSE(state.is_live);
  EXPECT_EQ(state.bitrate_kbps, 0);
  EXPECT_EQ(state.source_kind, SourceKind::kNothing);
  EXPECT_TRUE(OpenedPath().empty());
  EXPECT_FALSE(GetTempoProcessor().IsActive());
  EXPECT_GT(refreshes_, refreshes_before);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(TransportOperationsTest, StopKeepsAFileOpenAtItsStartAndPlayRestartsThere) {
  ASSERT_TRUE(OpenMedia(ChirpFile("chirp.wav", 8)));
  const audio::Handle output = ThePlayerState().output_stream;
  std::this_thread::sleep_for(600ms);
  ASSERT_GT(Position(), 0.2);

  Stop();
  EXPECT_EQ(audio::IsActive(output), audio::ActiveState::kStopped);
  EXPECT_EQ(ThePlayerState().output_stream, output);
  EXPECT_EQ(Position(), 0.0);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Position(), 0.0);

  ASSERT_TRUE(audio::Play(output, false));
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(Position(), 0.1);
  EXPECT_LT(Position(), 0.5);
}

TEST_F(TransportOperationsTest, SeekingIsHeldWithinTheItem) {
  OpenPaused(ChirpFile("chirp.wav", 60));
  ASSERT_DOUBLE_EQ(GetTempoProcessor().GetLengthSeconds(), 60.0);
  struct Case {
    double from;
    double by;
    double expected;
  };
  const Case cases[] = {
      {10, 5, 15},     {15, -5, 10},  {50, 30, 60},  // 10 s before the end, 30 on: the end
      {10, -30, 0},    {60, 1, 60},   {0, -1, 0},
      {20, 0.25, 20.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << " by " << c.by);
    SeekTo(c.from);
    const int refreshes_before = refreshes_;
    SeekBy(c.by);
    EXPECT_DOUBLE_EQ(Position(), c.expected);
    EXPECT_EQ(refreshes_, refreshes_before + 1);
  }
  // Absolute seeks, beyond either end.
  for (const auto& [to, expected] : {std::pair{42.0, 42.0}, {1e9, 60.0}, {-3.0, 0.0}}) {
    SeekTo(to);
    EXPECT_DOUBLE_EQ(Position(), expected) << to;
  }
  SeekTo(33);
  SeekToBeginning();
  EXPECT_DOUBLE_EQ(Position(), 0.0);
  // While an item is being opened relative seeks wait.
  SeekTo(10);
  ThePlayerState().loading = true;
  SeekBy(5);
  ThePlayerState().loading = false;
  ThePlaylist().opening = true;
  SeekBy(5);
  ThePlaylist().opening = false;
  EXPECT_DOUBLE_EQ(Position(), 10.0);
}

TEST_F(TransportOperationsTest, ASeekIsHeardFromTheNewPosition) {
  ASSERT_TRUE(OpenMedia(ChirpFile("chirp.wav", 60)));
  SeekTo(40);
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(Position(), 40.1);
  EXPECT_LT(Position(), 40.6);
  EXPECT_DOUBLE_EQ(CurrentPositionSeconds(), Position());
}

TEST_F(TransportOperationsTest, SpokenTimesBelowAndAboveAnHour) {
  OpenPaused(ChirpFile("short.wav", 65));
  SeekTo(61.9);
  EXPECT_EQ(SaidBy({SpeakElapsed, SpeakRemaining, SpeakTotal}), (Strings{"1:01", "0:03", "1:05"}));
  SeekTo(65);
  SpeakRemaining();
  EXPECT_EQ(Spoken(), Strings{"0:00"});
  CloseMedia();

  OpenPaused(LongFile("long.flac", 5400));
  SeekTo(5025);
  EXPECT_EQ(SaidBy({SpeakElapsed, SpeakRemaining, SpeakTotal}),
            (Strings{"1:23:45", "6:15", "1:30:00"}));
}

}  // namespace
}  // namespace kestrel
