// Opening internet streams against fixture servers on 127.0.0.1: live and finite streams, what
// reaches the user when a station cannot be played, and Stop calling off a connection that hangs
// while the window keeps answering.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/ffmpeg_fixtures.h"
#include "audio/support/null_output_fixture.h"
#include "base/off_ui_thread.h"
#include "base/post_to_ui.h"
#include "base/ui_messages.h"
#include "engine/display_refresh.h"
#include "engine/open_media.h"
#include "engine/player_state.h"
#include "net/fixture_http_server.h"
#include "engine/transport.h"
#include "playlist/navigation.h"
#include "playlist/playlist.h"
#include "playlist/replace_playlist.h"
#include "storage/settings.h"
#include "tempo/current_tempo_processor.h"
#include "ui/message_box.h"
#include "ui/ui_wait_loop.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An ICY metadata block: the length byte (in 16-byte units) and the padded text.
std::string MetaBlock(const std::string& text) {
  std::string block = text;
  block.resize((text.size() + 15) / 16 * 16, '\0');
  return static_cast<char>(block.size() / 16) + block;
}

class OpenUrlTest : public test::NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    ThePlayerState() = PlayerState{};
    ThePlaylist() = Playlist{};
    TheSettings() = Settings{};
    // A live stream arrives in real time: the device plays at the speed it arrives.
    audio::SetNullDeviceSpeed(1);
    audio::SetConfig(audio::Config::kNetTimeoutMs, 3000);
    InstallQtUiWaitLoop();
    SetUiMessageSink([this](PostedMessage message) {
      std::lock_guard lock(mutex_);
      messages_.push_back(message.message);
    });
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes_.push_back(request);
      return MessageResult::Ok;
    });
    SetPlaybackDisplayRefresh([] {});

    const auto mp3 = temp_.path() / "tone.mp3";
    ASSERT_TRUE(test::MakeChirpFile(mp3, {"-c:a", "libmp3lame", "-b:a", "128k"}, 6.0));
    mp3_ = ReadBytes(mp3);
    server_.Serve("/episode.mp3", test::HttpResponse(200, mp3_, "Content-Type: audio/mpeg\r\n"));
    server_.Serve("/page.html", test::HttpResponse(200, std::string(20000, 'x').insert(0, "<html><body>"),
                                                   "Content-Type: text/html\r\n"));
    server_.Handle("/radio", [this](const test::FixtureRequest&, test::FixtureConnection& c) {
      ServeRadio(c);
    });
    server_.Handle("/hang", [](const test::FixtureRequest&, test::FixtureConnection& c) {
      c.Pause(20000);
    });
    server_.Handle("/hang2", [](const test::FixtureRequest&, test::FixtureConnection& c) {
      c.Pause(20000);
    });
  }

  void TearDown() override {
    CloseMedia();
    SetUiWaitLoop({});
    SetPlaybackDisplayRefresh(nullptr);
    SetMessageBoxHandlerForTesting(nullptr);
    ClearUiMessageSink();
    audio::SetConfig(audio::Config::kNetTimeoutMs, 30000);
    NullOutputTest::TearDown();
  }

  // A Shoutcast-style station: the title changes every 16 KiB of audio (about a second).
  void ServeRadio(test::FixtureConnection& connection) {
    constexpr int kMetaInterval = 16384;
    if (!connection.Send("ICY 200 OK\r\nicy-name: Fixture FM\r\nicy-br: 128\r\n"
                         "content-type: audio/mpeg\r\nicy-metaint: 16384\r\n\r\n")) {
      return;
    }
    std::size_t offset = 0;
    for (int block = 0; block < 200; ++block) {
      std::string chunk;
      while (chunk.size() < kMetaInterval) {
        const std::size_t take = std::min<std::size_t>(kMetaInterval - chunk.size(), mp3_.size() - offset);
        chunk.append(mp3_, offset, take);
        offset = (offset + take) % mp3_.size();
      }
      chunk += MetaBlock("StreamTitle='Fixture Band - Song " + std::to_string(block) + "';");
      if (!connection.Send(chunk)) return;
      if (block > 4 && !connection.Pause(900)) return;  // a burst, then about real time
    }
  }

  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(server_.port()) + target;
  }

  bool WaitForMessage(int message, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      std::lock_guard lock(mutex_);
      for (int seen : messages_) {
        if (seen == message) return true;
      }
    }
    return false;
  }

  static float Attribute(audio::Handle channel, audio::Attribute attribute) {
    float value = -1;
    audio::GetAttribute(channel, attribute, &value);
    return value;
  }

  test::FixtureHttpServer server_;
  std::string mp3_;
  std::mutex mutex_;
  std::vector<int> messages_;
  std::vector<MessageBoxRequest> boxes_;
};

TEST_F(OpenUrlTest, LiveStationPlaysAtItsOwnTempoAndReportsNewTitles) {
  Settings& settings = TheSettings();
  settings.playback_tempo = 20;
  settings.playback_rate = 1.5f;
  settings.playback_pitch = 2;

  // The scheme in capitals is an internet address all the same.
  ASSERT_TRUE(OpenUrl("HTTP://127.0.0.1:" + std::to_string(server_.port()) + "/radio", false));
  const PlayerState& state = ThePlayerState();
  EXPECT_TRUE(state.is_live);
  EXPECT_FALSE(state.loading);
  EXPECT_EQ(state.source_kind, SourceKind::kAudio);
  EXPECT_NE(state.meta_channel, 0u);
  EXPECT_NE(state.meta_sync, 0u);
  EXPECT_EQ(state.download_sync, 0u);  // a live stream never completes
  EXPECT_EQ(state.bitrate_kbps, 128);
  EXPECT_TRUE(boxes_.empty());

  // Neither tempo nor rate reach a live stream; pitch does.
  EXPECT_FLOAT_EQ(Attribute(state.output_stream, audio::Attribute::kTempo), 0.0f);
  EXPECT_FLOAT_EQ(Attribute(state.output_stream, audio::Attribute::kFrequency), state.sample_rate);
  EXPECT_FLOAT_EQ(Attribute(state.output_stream, audio::Attribute::kTempoPitch), 2.0f);

  EXPECT_TRUE(WaitForMessage(kMsgStreamTitle, 5s)) << "no stream title was reported";
  EXPECT_TRUE(audio::IsPlayingState(audio::IsActive(state.output_stream)));
}

TEST_F(OpenUrlTest, FiniteEpisodeTakesTempoAndRate) {
  Settings& settings = TheSettings();
  settings.playback_tempo = 20;
  settings.playback_rate = 1.5f;

  ASSERT_TRUE(OpenUrl(Url("/episode.mp3"), false));
  const PlayerState& state = ThePlayerState();
  EXPECT_FALSE(state.is_live);
  EXPECT_NE(state.download_sync, 0u);
  EXPECT_FLOAT_EQ(Attribute(state.output_stream, audio::Attribute::kTempo), 20.0f);
  EXPECT_FLOAT_EQ(Attribute(state.output_stream, audio::Attribute::kFrequency),
                  1.5f * state.sample_rate);
  EXPECT_NEAR(GetTempoProcessor().GetLengthSeconds(), 6.0, 0.2);
}

struct FailureCase {
  const char* target;
  const char* reason;  // the end of the message box text
  std::size_t requests;  // connections made: only a format problem is worth another attempt
};

TEST_F(OpenUrlTest, StationsThatCannotPlayAreExplainedOnceAndLeaveNothingOpen) {
  const FailureCase cases[] = {
      {"/missing", "Error: Could not connect to URL. (code 2)", 1},
      {"/page.html", "(code 41)", 4},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.target);
    boxes_.clear();
    ASSERT_TRUE(OpenUrl(Url("/episode.mp3"), false));  // something plays before

    EXPECT_FALSE(OpenUrl(Url(c.target), false));
    ASSERT_EQ(boxes_.size(), 1u);
    const std::string& text = boxes_[0].text;
    EXPECT_EQ(text.rfind("Cannot play URL:\n" + Url(c.target) + "\n\n", 0), 0u) << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    EXPECT_EQ(boxes_[0].icon, MessageIcon::Error);
    EXPECT_EQ(server_.RequestsFor(c.target).size(), c.requests);

    const PlayerState& state = ThePlayerState();
    EXPECT_EQ(state.output_stream, 0u);
    EXPECT_FALSE(state.loading);
    EXPECT_FALSE(ThePlaylist().opening);
  }
  // Silent callers hear of nothing; the player is still usable.
  boxes_.clear();
  EXPECT_FALSE(OpenUrl(Url("/missing"), true));
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(OpenUrl(Url("/episode.mp3"), false));
}

TEST_F(OpenUrlTest, OtherSchemesAreRefusedEvenForSilentCallers) {
  for (const char* url : {"mms://radio.example/live", "rtsp://radio.example/live"}) {
    boxes_.clear();
    EXPECT_FALSE(OpenUrl(url, true));
    ASSERT_EQ(boxes_.size(), 1u) << url;
    EXPECT_EQ(boxes_[0].text, "Only http:// and https:// URLs are supported.");
    EXPECT_EQ(boxes_[0].icon, MessageIcon::Warning);
  }
  boxes_.clear();
  EXPECT_FALSE(OpenMedia("ftp://files.example/song.mp3"));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "Only http:// and https:// URLs are supported.");
}

TEST_F(OpenUrlTest, StopCallsOffAHangingConnectionWhileTheWindowAnswers) {
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(50);
  // Stop, as the window dispatches it when the key is pressed during the connection.
  QTimer::singleShot(400, [] { Stop(); });

  Playlist& playlist = ThePlaylist();
  playlist.items = {Url("/hang"), Url("/hang2")};
  const auto started = std::chrono::steady_clock::now();
  PlayItem(0, true);
  const auto waited = std::chrono::steady_clock::now() - started;

  EXPECT_LT(waited, 2500ms) << "Stop did not call the connection off";
  EXPECT_GE(ticks, 4) << "the window did not answer while the stream connected";
  EXPECT_TRUE(OpenWasCancelled());
  EXPECT_TRUE(boxes_.empty());
  // Nothing plays and the next item was not tried.
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_FALSE(ThePlaylist().opening);
  EXPECT_TRUE(server_.RequestsFor("/hang2").empty());
}

TEST_F(OpenUrlTest, AListChosenWhileAStationConnectsIsPlayedInstead) {
  const auto file = temp_.path() / "chosen.wav";
  ASSERT_TRUE(test::MakeChirpFile(file, {}, 1.0));
  // The user picks a file (Open, a recent file, a hand-over...) while the station hangs.
  QTimer::singleShot(300, [&file] { ReplacePlaylist({file.string()}, 0); });

  ThePlaylist().items = {Url("/hang")};
  const auto started = std::chrono::steady_clock::now();
  PlayItem(0, true);

  EXPECT_LT(std::chrono::steady_clock::now() - started, 2500ms);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{file.string()});
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedPath(), file.string());
  EXPECT_FALSE(ThePlaylist().opening);
}

}  // namespace
}  // namespace kestrel
