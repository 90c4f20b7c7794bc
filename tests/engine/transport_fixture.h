#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/audio.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/support/null_output_fixture.h"
#include "base/post_to_ui.h"
#include "engine/display_refresh.h"
#include "engine/open_media.h"
#include "engine/output_fixture.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "speech/screen_reader_bridge.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "ui/message_box.h"
#include "support/noting_reader.h"

namespace kestrel::test {

// Output on the null device running in real time (so an item opened stays near its start until
// the test pauses it), fresh player, playlist and settings records, English texts, speech and
// display refreshes written down.
class TransportTest : public NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    audio::SetNullDeviceSpeed(1);
    RegisterAllTranslations();
    SetLanguage("en");
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{};
    TheSettings() = Settings{};
    SetUiMessageSink([](PostedMessage) {});
    SetMessageBoxHandlerForTesting([](const MessageBoxRequest&) { return MessageResult::Ok; });
    SetPlaybackDisplayRefresh([this] { ++refreshes_; });
    speech_.emplace([this](std::string_view text, bool) { said_.emplace_back(text); });
  }

  void TearDown() override {
    CloseMedia();
    speech_.reset();
    SetPlaybackDisplayRefresh(nullptr);
    SetMessageBoxHandlerForTesting(nullptr);
    ClearUiMessageSink();
    SetLanguage("en");
    NullOutputTest::TearDown();
  }

  // A 44.1 kHz stereo chirp file.
  std::string ChirpFile(const std::string& name, double seconds) {
    const auto file = temp_.path() / name;
    EXPECT_TRUE(MakeChirpFile(file, {}, seconds)) << name;
    return file.string();
  }

  // A long, small file: silence at 8 kHz mono in FLAC, `seconds` long to the sample.
  std::string LongFile(const std::string& name, int seconds) {
    const auto file = temp_.path() / name;
    EXPECT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "anullsrc=r=8000:cl=mono", "-t",
                           std::to_string(seconds), "-c:a", "flac", file.string()}));
    return file.string();
  }

  // A 44.1 kHz stereo sine of 440 Hz.
  std::string SineFile(const std::string& name, double seconds) {
    const auto file = temp_.path() / name;
    EXPECT_TRUE(RunFfmpeg({"-f", "lavfi", "-i",
                           "sine=frequency=440:sample_rate=44100:duration=" +
                               std::to_string(seconds),
                           "-ac", "2", file.string()}));
    return file.string();
  }

  // Opens the file and holds it paused, so positions stand still and can be compared exactly.
  void OpenPaused(const std::string& file) {
    ASSERT_TRUE(OpenMedia(file));
    ASSERT_TRUE(audio::Pause(ThePlayerState().output_stream));
  }

  static double Position() { return GetTempoProcessor().GetPositionSeconds(); }

  // What was spoken since the last call.
  std::vector<std::string> Spoken() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  // Runs each action in turn and collects what each one said (the speech queue would otherwise
  // join everything said before it is drained into one utterance).
  std::vector<std::string> SaidBy(std::initializer_list<std::function<void()>> actions) {
    Spoken();
    std::vector<std::string> said;
    for (const auto& action : actions) {
      action();
      for (std::string& text : Spoken()) said.push_back(std::move(text));
    }
    return said;
  }

  int refreshes_ = 0;

 private:
  std::vector<std::string> said_;
  std::optional<NotedSpeech> speech_;
};

}  // namespace kestrel::test
