#include "engine/open_media.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/support/null_output_fixture.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "engine/display_refresh.h"
#include "engine/player_state.h"
#include "playlist/playlist.h"
#include "speech/screen_reader_bridge.h"
#include "speech/screen_reader_driver.h"
#include "speech/speech.h"
#include "storage/settings.h"
#include "support/noting_reader.h"
#include "tempo/current_tempo_processor.h"
#include "ui/message_box.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;

constexpr char kSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string BigEndian(std::uint32_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

// A format-0 MIDI file at 120 beats a minute: a piano plays C, E and G, half a second each.
std::string ThreeNoteMidi() {
  std::string track;
  track += std::string("\x00\xFF\x51\x03", 4) + BigEndian(500000, 3);
  track += std::string("\x00\xC0\x00", 3);
  for (const char note : {'\x3C', '\x40', '\x43'}) {
    track += std::string("\x00\x90", 2) + note + '\x64';
    track += std::string("\x83\x60\x80", 3) + note + '\x40';
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  return std::string("MThd") + BigEndian(6, 4) + BigEndian(0, 2) + BigEndian(1, 2) +
         BigEndian(480, 2) + "MTrk" + BigEndian(static_cast<std::uint32_t>(track.size()), 4) +
         track;
}

struct PostedCommand {
  std::uint64_t command;
  std::int64_t lparam;
};

// Output on the null device, a main window that notes the commands posted to it, message boxes
// answered and noted, speech noted, and fresh player, playlist and settings records.
class OpenMediaTest : public test::NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{};
    TheSettings() = Settings{};
    SetUiMessageSink([this](PostedMessage message) {
      if (message.message != kMsgCommand) return;
      std::lock_guard lock(mutex_);
      commands_.push_back({message.wparam, message.lparam});
      posted_.notify_all();
    });
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes_.push_back(request);
      return MessageResult::Ok;
    });
    SetPlaybackDisplayRefresh([this] { ++refreshes_; });
    speech_.emplace([this](std::string_view text, bool) { said_.emplace_back(text); });
  }

  void TearDown() override {
    CloseMedia();
    speech_.reset();
    SetPlaybackDisplayRefresh(nullptr);
    SetMessageBoxHandlerForTesting(nullptr);
    ClearUiMessageSink();
    audio::SetMidiSoundFont("");
    NullOutputTest::TearDown();
  }

  std::string Fixture(const std::string& name, const std::vector<std::string>& output_args,
                      double seconds = 3.0) {
    const auto file = temp_.path() / name;
    EXPECT_TRUE(test::MakeChirpFile(file, output_args, seconds)) << name;
    return file.string();
  }

  // A 44.1 kHz stereo sine of `hz`, for measuring pitch in the recording.
  std::string SineFixture(const std::string& name, int hz, double seconds) {
    const auto file = temp_.path() / name;
    EXPECT_TRUE(test::RunFfmpeg({"-f", "lavfi", "-i",
                                 "sine=frequency=" + std::to_string(hz) +
                                     ":sample_rate=44100:duration=" + std::to_string(seconds),
                                 "-ac", "2", file.string()}));
    return file.string();
  }

  // Waits for the next Next command the end sync posts.
  std::optional<PostedCommand> WaitForCommand(std::chrono::milliseconds timeout = 20s) {
    std::unique_lock lock(mutex_);
    if (!posted_.wait_for(lock, timeout, [this] { return !commands_.empty(); }))
      return std::nullopt;
    PostedCommand first = commands_.front();
    commands_.erase(commands_.begin());
    return first;
  }

  // Starts a fresh recording of the mix.
  void RecordAgain(const std::string& name) {
    recording_ = temp_.path() / name;
    ASSERT_TRUE(audio::SetNullDeviceRecording(recording_.string()));
  }

  std::vector<std::string> TakeSpoken() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<PostedCommand> commands_;
  std::vector<MessageBoxRequest> boxes_;
  std::vector<std::string> said_;
  std::optional<test::NotedSpeech> speech_;
  int refreshes_ = 0;
};

bool IsStale(audio::Handle handle) {
  audio::GetLength(handle);
  return audio::LastError() == audio::kErrorHandle;
}

TEST_F(OpenMediaTest, WavFlacAndMp3PlayWholeThroughTheTempoStream) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int min_bitrate;
  };
  const Case cases[] = {
      {"chirp.wav", {}, 1400},
      {"chirp.flac", {"-c:a", "flac"}, 1},
      {"chirp.mp3", {"-c:a", "libmp3lame", "-b:a", "128k"}, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = Fixture(c.name, c.args);
    RecordAgain(std::string(c.name) + ".mix.wav");
    const int refreshes_before = refreshes_;

    ASSERT_TRUE(OpenMedia(file));
    const PlayerState& state = ThePlayerState();
    EXPECT_EQ(state.source_kind, SourceKind::kAudio);
    EXPECT_NE(state.output_stream, 0u);
    // SoundTouch's stream owns the source: the opener keeps only the metadata channel.
    EXPECT_EQ(state.source_channel, 0u);
    EXPECT_NE(state.meta_channel, 0u);
    EXPECT_NE(state.end_sync, 0u);
    EXPECT_FLOAT_EQ(state.sample_rate, 44100.0f);
    EXPECT_GE(state.bitrate_kbps, c.min_bitrate);
    EXPECT_FALSE(state.loading);
    EXPECT_FALSE(state.is_live);
    EXPECT_EQ(OpenedPath(), file);
    EXPECT_EQ(refreshes_, refreshes_before + 1);
    EXPECT_EQ(GetTempoProcessor().GetAlgorithm(), kTempoAlgorithmSoundTouch);

    const auto next = WaitForCommand();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->command, 204u);
    const test::WavContents wav = TakeRecording();
    const double heard = static_cast<double>(test::SoundFrames(wav)) / kMixRate;
    EXPECT_NEAR(heard, 3.0, 0.1);
    EXPECT_GT(test::Rms(wav, 0, kMixRate / 2, kMixRate), 0.2);
  }
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(OpenMediaTest, TempoPitchAndRateSettingsApplyAtOpen) {
  const std::string file = SineFixture("sine.wav", 440, 3.0);
  struct Case {
    float tempo, pitch, rate;
    double seconds, hz;
  };
  const Case cases[] = {
      {0, 0, 1, 3.0, 440},     // untouched
      {50, 0, 1, 2.0, 440},    // faster, same pitch
      {-50, 0, 1, 6.0, 440},   // slower, same pitch
      {0, 12, 1, 3.0, 880},    // an octave up, same length
      {0, 0, 2, 1.5, 880},     // rate: faster and higher
      {0, 0, 0.5f, 6.0, 220},  // rate: slower and lower
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "tempo " << c.tempo << " pitch " << c.pitch << " rate " << c.rate);
    TheSettings().playback_tempo = c.tempo;
    TheSettings().playback_pitch = c.pitch;
    TheSettings().playback_rate = c.rate;
    RecordAgain("mix" + std::to_string(index++) + ".wav");

    ASSERT_TRUE(OpenMedia(file));
    EXPECT_FLOAT_EQ(GetTempoProcessor().GetTempo(), c.tempo);
    EXPECT_FLOAT_EQ(GetTempoProcessor().GetPitch(), c.pitch);
    ASSERT_TRUE(WaitForCommand().has_value());

    const test::WavContents wav = TakeRecording();
    const std::int64_t frames = test::SoundFrames(wav);
    EXPECT_NEAR(static_cast<double>(frames) / kMixRate, c.seconds, 0.15);
    EXPECT_NEAR(test::MeasuredFrequency(wav, 0, frames / 4, frames / 2), c.hz, c.hz * 0.02);
  }
}

TEST_F(OpenMediaTest, AlgorithmsNotInThisBuildPlayThroughSoundTouchWithoutAMessage) {
  const std::string file = Fixture("chirp.wav", {}, 0.5);
  for (int algorithm : {kTempoAlgorithmSpeedy, kTempoAlgorithmSignalsmith}) {
    SCOPED_TRACE(algorithm);
    TheSettings().tempo_algorithm = algorithm;
    TheSettings().playback_tempo = 25;
    ASSERT_TRUE(OpenMedia(file));
    EXPECT_EQ(GetTempoProcessor().GetAlgorithm(), kTempoAlgorithmSoundTouch);
    EXPECT_FLOAT_EQ(GetTempoProcessor().GetTempo(), 25);
    EXPECT_TRUE(GetTempoProcessor().IsActive());
    EXPECT_EQ(ThePlayerState().source_channel, 0u);  // owned by the SoundTouch stream
    ASSERT_TRUE(WaitForCommand().has_value());
  }
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(OpenMediaTest, EndOfTrackPostsNextWithStopOnlyWhenNothingContinues) {
  const std::string file = Fixture("short.wav", {}, 0.3);
  struct Case {
    bool auto_advance;
    int repeat_mode;
    std::int64_t lparam;
  };
  const Case cases[] = {
      {true, 0, 0}, {false, 0, 1}, {false, 1, 0}, {false, 2, 0}, {true, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "auto " << c.auto_advance << " repeat " << c.repeat_mode);
    TheSettings().auto_advance = c.auto_advance;
    TheSettings().repeat_mode = c.repeat_mode;
    ASSERT_TRUE(OpenMedia(file));
    const auto next = WaitForCommand();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->command, 204u);
    EXPECT_EQ(next->lparam, c.lparam);
  }
  // Exactly one post per track.
  std::this_thread::sleep_for(100ms);
  std::lock_guard lock(mutex_);
  EXPECT_TRUE(commands_.empty());
}

TEST_F(OpenMediaTest, OpeningAnotherFileFreesEverythingOfTheFirst) {
  const std::string first = Fixture("first.wav", {}, 5.0);
  const std::string second = Fixture("second.flac", {"-c:a", "flac"}, 0.5);
  audio::SetNullDeviceSpeed(1);  // keep the first one playing while the second opens
  ASSERT_TRUE(OpenMedia(first));
  const PlayerState before = ThePlayerState();

  ASSERT_TRUE(OpenMedia(second));
  const PlayerState& after = ThePlayerState();
  EXPECT_TRUE(IsStale(before.output_stream));
  EXPECT_TRUE(IsStale(before.meta_channel));
  EXPECT_EQ(audio::IsActive(before.output_stream), audio::ActiveState::kStopped);
  EXPECT_NE(after.output_stream, before.output_stream);
  EXPECT_NE(after.meta_channel, before.meta_channel);
  EXPECT_FALSE(IsStale(after.output_stream));
  EXPECT_EQ(OpenedPath(), second);
  // No end of track was reported for the first.
  const auto next = WaitForCommand(5s);
  ASSERT_TRUE(next.has_value());
  std::lock_guard lock(mutex_);
  EXPECT_TRUE(commands_.empty());
}

TEST_F(OpenMediaTest, CloseMediaFreesAndForgetsEverything) {
  const std::string file = Fixture("chirp.wav", {}, 1.0);
  ASSERT_TRUE(OpenMedia(file));
  const PlayerState open = ThePlayerState();
  CloseMedia();
  const PlayerState& state = ThePlayerState();
  EXPECT_TRUE(IsStale(open.output_stream));
  EXPECT_TRUE(IsStale(open.meta_channel));
  EXPECT_EQ(state.output_stream, 0u);
  EXPECT_EQ(state.source_channel, 0u);
  EXPECT_EQ(state.meta_channel, 0u);
  EXPECT_EQ(state.end_sync, 0u);
  EXPECT_EQ(state.source_kind, SourceKind::kNothing);
  EXPECT_EQ(state.bitrate_kbps, 0);
  EXPECT_TRUE(OpenedPath().empty());
  // A new processor, not one still holding the freed stream.
  EXPECT_FALSE(GetTempoProcessor().IsActive());
}

TEST_F(OpenMediaTest, FilesThatCannotBeOpenedAreExplainedOnlyWhenThePlaylistCannotMoveOn) {
  const std::string text_file = temp_.Write("notes.wav", "This is not a sound file.\n").string();
  const std::string missing = (temp_.path() / "gone" / "missing.mp3").string();
  const std::string playing = Fixture("chirp.wav", {}, 1.0);
  struct Case {
    std::string item;
    const char* message;
  };
  const Case cases[] = {
      {missing, "Cannot play file:\nmissing.mp3\n\nCould not open the file."},  // code 2
      {text_file, "Cannot play file:\nnotes.wav\n\nUnsupported file format."},  // code 41
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    for (std::size_t items : {0u, 1u, 2u, 3u}) {
      SCOPED_TRACE(items);
      ThePlaylist().items.assign(items, c.item);
      ASSERT_TRUE(OpenMedia(playing));
      const PlayerState before = ThePlayerState();
      ThePlayerState().is_live = true;
      boxes_.clear();

      EXPECT_FALSE(OpenMedia(c.item));
      if (items < 2) {
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, c.message);
        EXPECT_EQ(boxes_[0].caption, "Kestrel");
        EXPECT_EQ(boxes_[0].icon, MessageIcon::Error);
      } else {
        EXPECT_TRUE(boxes_.empty());
      }
      // What played was closed before the new item was tried; nothing is left behind.
      const PlayerState& after = ThePlayerState();
      EXPECT_TRUE(IsStale(before.output_stream));
      EXPECT_EQ(after.output_stream, 0u);
      EXPECT_EQ(after.meta_channel, 0u);
      EXPECT_EQ(after.source_kind, SourceKind::kNothing);
      EXPECT_FALSE(after.loading);
      EXPECT_FALSE(after.is_live);
      EXPECT_TRUE(OpenedPath().empty());
    }
  }
}

TEST_F(OpenMediaTest, AFileAfterALiveStreamIsNoLongerLive) {
  const std::string file = Fixture("chirp.wav", {}, 0.5);
  ThePlayerState().is_live = true;
  ASSERT_TRUE(OpenMedia(file));
  EXPECT_FALSE(ThePlayerState().is_live);
}

TEST_F(OpenMediaTest, RefusedAddressesAndVideosLeaveWhatPlaysPlaying) {
  const std::string file = Fixture("chirp.wav", {}, 1.0);
  ASSERT_TRUE(OpenMedia(file));
  const audio::Handle playing = ThePlayerState().output_stream;
  ASSERT_TRUE(TakeSpoken().empty());

  struct Case {
    std::string item;
    const char* spoken;
    const char* box;
    MessageIcon icon;
  };
  const Case cases[] = {
      {"FTP://example.com/song.mp3", nullptr, "Only http:// and https:// URLs are supported.",
       MessageIcon::Warning},
      {(temp_.path() / "film.MKV").string(), nullptr,
       "Cannot play video file:\nfilm.MKV\n\nThe video playback engine could not be loaded. Please "
       "reinstall Kestrel.",
       MessageIcon::Warning},
      {"C:\\Videos\\clip.webm", nullptr,
       "Cannot play video file:\nclip.webm\n\nThe video playback engine could not be loaded. "
       "Please "
       "reinstall Kestrel.",
       MessageIcon::Warning},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    boxes_.clear();
    EXPECT_FALSE(OpenMedia(c.item));
    const std::vector<std::string> spoken = TakeSpoken();
    if (c.spoken) {
      EXPECT_EQ(spoken, std::vector<std::string>{c.spoken});
    } else {
      EXPECT_TRUE(spoken.empty());
    }
    if (c.box) {
      ASSERT_EQ(boxes_.size(), 1u);
      EXPECT_EQ(boxes_[0].text, c.box);
      EXPECT_EQ(boxes_[0].caption, "Kestrel");
      EXPECT_EQ(boxes_[0].icon, c.icon);
    } else {
      EXPECT_TRUE(boxes_.empty());
    }
    EXPECT_EQ(ThePlayerState().output_stream, playing);
    EXPECT_FALSE(IsStale(playing));
    EXPECT_EQ(OpenedPath(), file);
  }
}

TEST_F(OpenMediaTest, RmvbWithoutTheVideoEngineIsGivenToTheAudioDecoder) {
  const std::string file = temp_.Write("movie.rmvb", "not really a RealMedia file").string();
  EXPECT_FALSE(OpenMedia(file));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text.rfind("Cannot play file:\nmovie.rmvb\n\n", 0), 0u) << boxes_[0].text;
}

TEST_F(OpenMediaTest, MidiFilesAreSynthesisedWithTheSoundFontWithOrWithoutSinc) {
  ASSERT_TRUE(audio::SetMidiSoundFont(kSoundFont));
  const std::string midi = temp_.Write("tune.MID", ThreeNoteMidi()).string();
  int index = 0;
  for (bool sinc : {true, false}) {
    SCOPED_TRACE(sinc);
    TheSettings().sinc_interp = sinc;
    RecordAgain("midi" + std::to_string(index++) + ".wav");
    ASSERT_TRUE(OpenMedia(midi)) << (boxes_.empty() ? "" : boxes_[0].text);
    audio::ChannelInfo info;
    ASSERT_TRUE(audio::GetInfo(ThePlayerState().meta_channel, &info));
    EXPECT_EQ(info.codec, "MIDI");
    ASSERT_TRUE(WaitForCommand().has_value());
    const test::WavContents wav = TakeRecording();
    EXPECT_NEAR(static_cast<double>(test::SoundFrames(wav)) / kMixRate, 1.5, 0.6);
    EXPECT_GT(test::Rms(wav, 0, kMixRate / 10, kMixRate), 0.005);
  }
}

TEST_F(OpenMediaTest, WithoutAnOutputNothingClaimsToPlay) {
  const std::string file = Fixture("chirp.wav", {}, 0.5);
  ASSERT_TRUE(audio::FreeOutput());
  EXPECT_FALSE(OpenMedia(file));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].icon, MessageIcon::Error);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_EQ(ThePlayerState().meta_channel, 0u);
  EXPECT_EQ(ThePlayerState().source_kind, SourceKind::kNothing);
  EXPECT_TRUE(OpenedPath().empty());
}

}  // namespace
}  // namespace kestrel
