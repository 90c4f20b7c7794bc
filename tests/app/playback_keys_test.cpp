// The player driven as a user drives it: a file given at start plays on the null device, and
// the keys of transport, volume and the effect parameters act on it and answer by speech.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/keyboard_layouts.h"
#include "app/main_window_fixture.h"
#include "audio/audio.h"
#include "audio/wav_writer.h"
#include "engine/player_state.h"
#include "engine/transport.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

// A main window started with a 40-second tone in its playlist, as `kestrel tone.wav` would be.
class PlaybackKeysTest : public MainWindowTest {
 protected:
  void SetUp() override {
    tone_ = folder_.path() / "tone.wav";
    audio::WavWriter writer;
    ASSERT_TRUE(writer.Open(tone_.string(), 44100, 2));
    std::vector<float> block(2 * 44100);
    for (int second = 0; second < 40; ++second) {
      for (int i = 0; i < 44100; ++i) block[2 * i] = block[2 * i + 1] = 0.25f * std::sin(i * 2 * M_PI * 440 / 44100);
      ASSERT_TRUE(writer.Write(block.data(), 44100));
    }
    ASSERT_TRUE(writer.Close());
    pending_item_ = tone_.string();
    MainWindowTest::SetUp();
  }

  void BeforeCreate() override {
    ThePlaylist().items = {pending_item_};
    TheSettings().seek_10s = true;  // offered after the default 5 seconds
  }

  // Presses a key the way the keyboard sends it and lets the window handle what follows.
  std::vector<std::string> Press(std::unique_ptr<QKeyEvent> event) {
    QApplication::sendEvent(window.get(), event.get());
    return Spoken();
  }
  std::vector<std::string> PressPosition(int scan_code) {
    return Press(PhysicalKeyPress(Layout::kUsQwerty, scan_code, kNoModifier));
  }
  std::vector<std::string> PressKey(int qt_key, unsigned modifiers = kNoModifier) {
    return Press(KeyPressFor(Layout::kUsQwerty, qt_key, modifiers));
  }

  audio::ActiveState State() { return audio::IsActive(ThePlayerState().output_stream); }

  TempFolder folder_;
  std::filesystem::path tone_;
  std::string pending_item_;
};

constexpr int kScanC = 0x2E, kScanV = 0x2F, kScanU = 0x16, kScanPeriod = 0x34;

TEST_F(PlaybackKeysTest, TheFileGivenAtStartPlaysAndTheTransportKeysActOnIt) {
  ASSERT_NE(ThePlayerState().output_stream, 0u) << "the command-line item was opened";
  EXPECT_EQ(State(), audio::ActiveState::kPlaying);

  PressPosition(kScanC);  // pause
  EXPECT_EQ(State(), audio::ActiveState::kPaused);
  // The tone may have been heard for a moment before the pause; the seeks below count from 0.
  PressKey(Qt::Key_Home);

  EXPECT_EQ(PressKey(Qt::Key_T, kCtrl | kShift), std::vector<std::string>{"0:40"});

  PressKey(Qt::Key_Right);  // forward by the default unit, 5 seconds
  EXPECT_NEAR(CurrentPositionSeconds(), 5.0, 0.3);
  EXPECT_EQ(PressPosition(kScanPeriod), std::vector<std::string>{"10 seconds"});
  PressKey(Qt::Key_Right);
  EXPECT_NEAR(CurrentPositionSeconds(), 15.0, 0.3);
  EXPECT_EQ(PressKey(Qt::Key_E, kCtrl | kShift), std::vector<std::string>{"0:15"});
  EXPECT_EQ(PressKey(Qt::Key_R, kCtrl | kShift), std::vector<std::string>{"0:25"});
  PressKey(Qt::Key_Home);
  EXPECT_NEAR(CurrentPositionSeconds(), 0.0, 0.3);

  PressPosition(kScanV);  // stop: stays open at its start
  EXPECT_EQ(State(), audio::ActiveState::kStopped);
  EXPECT_NEAR(CurrentPositionSeconds(), 0.0, 0.01);
}

TEST_F(PlaybackKeysTest, VolumeMuteAndTheCurrentParameterAnswerBySpeech) {
  EXPECT_EQ(PressKey(Qt::Key_Down, kCtrl), std::vector<std::string>{"Volume 98%"});
  EXPECT_EQ(PressKey(Qt::Key_Up, kCtrl), std::vector<std::string>{"Volume 100%"});
  EXPECT_EQ(PressKey(Qt::Key_Up, kCtrl), std::vector<std::string>{"Volume 100%"}) << "no amplification";
  EXPECT_EQ(PressPosition(kScanU), std::vector<std::string>{"Muted"});
  EXPECT_TRUE(ThePlayerState().muted);
  EXPECT_EQ(PressPosition(kScanU), std::vector<std::string>{"Unmuted"});

  // The current parameter starts at Volume: Down lowers it, ] moves on to the next one.
  PressKey(Qt::Key_Down);
  EXPECT_NEAR(TheSettings().playback_volume, 0.98f, 1e-4);
  PressKey(Qt::Key_Backspace);
  EXPECT_NEAR(TheSettings().playback_volume, 1.0f, 1e-4);
}

}  // namespace
}  // namespace kestrel::test
