#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "audio/ffmpeg_fixtures.h"
#include "engine/display_refresh.h"
#include "engine/open_media.h"
#include "engine/output_fixture.h"
#include "engine/player_state.h"
#include "playlist/playlist.h"
#include "support/temp_folder.h"
#include "tempo/current_tempo_processor.h"

namespace kestrel {
namespace {

// A two-minute FLAC file open as the playlist's only item, on the default null device.
class DeviceSwitchTest : public test::AudioOutputTest {
 protected:
  static void SetUpTestSuite() {
    media_ = new test::TempFolder;
    ASSERT_TRUE(test::MakeChirpFile(File(), {"-c:a", "flac"}, 120.0));
  }
  static void TearDownTestSuite() {
    delete media_;
    media_ = nullptr;
  }
  static std::filesystem::path File() { return media_->path() / "two minutes.flac"; }

  void SetUp() override {
    AudioOutputTest::SetUp();
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{{File().string()}, 0, false};
    SetPlaybackDisplayRefresh([this] {
      ++refreshes;
      state_at_refresh = OutputState();
    });
    audio::SetNullDeviceSpeed(1);
    ASSERT_TRUE(InitAudioOutput(nullptr));
  }

  void TearDown() override {
    SetPlaybackDisplayRefresh(nullptr);
    AudioOutputTest::TearDown();
    ThePlaylist() = Playlist{};
  }

  // Opens the file, goes to the position and leaves it playing or paused.
  void PlayFrom(double seconds, bool playing) {
    ASSERT_TRUE(OpenMedia(File().string()));
    if (!playing) {
      ASSERT_TRUE(audio::Pause(ThePlayerState().output_stream));
    }
    GetTempoProcessor().SetPositionSeconds(seconds);
    refreshes = 0;
  }

  static double Position() { return GetTempoProcessor().GetPositionSeconds(); }
  static audio::ActiveState OutputState() { return audio::IsActive(ThePlayerState().output_stream); }

  int refreshes = 0;
  audio::ActiveState state_at_refresh = audio::ActiveState::kStopped;

 private:
  static test::TempFolder* media_;
};

test::TempFolder* DeviceSwitchTest::media_ = nullptr;

TEST_F(DeviceSwitchTest, APausedItemStaysPausedAtItsPosition) {
  PlayFrom(83.0, /*playing=*/false);
  const audio::Handle old_stream = ThePlayerState().output_stream;

  SelectDevice(2);

  EXPECT_EQ(audio::CurrentDevice(), 2);
  EXPECT_EQ(CurrentDeviceIndex(), 2);
  ASSERT_NE(ThePlayerState().output_stream, 0u);
  EXPECT_NE(ThePlayerState().output_stream, old_stream);
  EXPECT_EQ(OutputState(), audio::ActiveState::kPaused);
  EXPECT_NEAR(Position(), 83.0, 0.1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_NEAR(Position(), 83.0, 0.1) << "a paused item must not move";
  EXPECT_EQ(OpenedPath(), File().string());
  EXPECT_GE(refreshes, 1);
  EXPECT_EQ(state_at_refresh, audio::ActiveState::kPaused) << "the status line must say paused";
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Switched to Null output 2"});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(DeviceSwitchTest, APlayingItemKeepsPlayingFromItsPosition) {
  PlayFrom(83.0, /*playing=*/true);

  SelectDevice(2);

  EXPECT_EQ(audio::CurrentDevice(), 2);
  EXPECT_EQ(OutputState(), audio::ActiveState::kPlaying);
  const double after_switch = Position();
  EXPECT_GE(after_switch, 83.0);
  EXPECT_LT(after_switch, 84.0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_GT(Position(), after_switch + 0.2) << "playback goes on on the new device";
}

TEST_F(DeviceSwitchTest, TheNewDeviceIsSavedAndAFreshStartUsesIt) {
  SelectDevice(2);
  EXPECT_EQ(TheSettings().device_name, "Null output 2");
  EXPECT_NE(test::ReadWholeFile(SettingsFilePath()).find("DeviceName=Null output 2\n"),
            std::string::npos);

  FreeAudioOutput();
  ResetCurrentDeviceIndex();
  ASSERT_TRUE(InitAudioOutput(nullptr));
  EXPECT_EQ(CurrentDeviceIndex(), 2);
  EXPECT_EQ(audio::CurrentDevice(), 2);
}

TEST_F(DeviceSwitchTest, WithNothingOpenOnlyTheDeviceChanges) {
  SelectDevice(2);
  EXPECT_EQ(audio::CurrentDevice(), 2);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_EQ(refreshes, 0);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Switched to Null output 2"});
}

// A device that cannot be started: output goes to the default device, the saved name is
// forgotten, and what played has stopped.
TEST_F(DeviceSwitchTest, AFailedSwitchFallsBackToTheDefaultAndStops) {
  TheSettings().device_name = "Null output 2";
  PlayFrom(83.0, /*playing=*/true);

  SelectDevice(3);

  EXPECT_EQ(audio::CurrentDevice(), 1);
  EXPECT_EQ(CurrentDeviceIndex(), -1);
  EXPECT_EQ(TheSettings().device_name, "");
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_EQ(ThePlayerState().source_kind, SourceKind::kNothing);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Failed to switch audio device"});
  EXPECT_GE(refreshes, 1);
}

TEST_F(DeviceSwitchTest, DeviceNumbersBelowOneAreIgnored) {
  PlayFrom(10.0, /*playing=*/true);
  const audio::Handle stream = ThePlayerState().output_stream;
  for (int device : {0, -1}) {
    SelectDevice(device);
    EXPECT_EQ(ThePlayerState().output_stream, stream);
    EXPECT_EQ(audio::CurrentDevice(), 1);
  }
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(DeviceSwitchTest, FreeingTheOutputClosesWhatPlays) {
  PlayFrom(10.0, /*playing=*/true);
  const audio::Handle stream = ThePlayerState().output_stream;

  FreeAudioOutput();

  EXPECT_EQ(audio::CurrentDevice(), -1);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_EQ(ThePlayerState().meta_channel, 0u);
  EXPECT_EQ(ThePlayerState().bitrate_kbps, 0);
  EXPECT_EQ(audio::IsActive(stream), audio::ActiveState::kStopped);
  EXPECT_EQ(audio::LastError(), audio::kErrorHandle);
}

}  // namespace
}  // namespace kestrel
