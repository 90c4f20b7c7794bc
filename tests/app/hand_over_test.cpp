#include <gtest/gtest.h>

#include "app/hand_over_frame.h"
#include "audio/wav_writer.h"
#include "engine/open_media.h"
#include "app/main_window_fixture.h"
#include "base/tick_clock.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

class HandOverTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    for (int i = 0; i < 5; ++i) files.push_back(WriteSilence(folder.path() / ("track" + std::to_string(i) + ".wav")));
    Shell().start_tick = TickCount() - 60000;  // long after start-up
    ThePlaylist().items = {"/earlier/item.ogg"};
    ThePlaylist().current_index = 0;
  }

  // Half a second of silence, a file the player really opens.
  static std::string WriteSilence(const std::filesystem::path& path) {
    audio::WavWriter writer;
    std::vector<float> frames(2 * 22050, 0.0f);
    writer.Open(path.string(), 44100, 2);
    writer.Write(frames.data(), 22050);
    writer.Close();
    return path.string();
  }

  TempFolder folder;
  std::vector<std::string> files;
};

TEST_F(HandOverTest, PathsArrivingApartReplaceThePlaylistOnceInArrivalOrder) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    window->OnHandOver({i == 0 ? kHandOverFirstPath : kHandOverFurtherPath, files[i]});
    RunEventLoopFor(100);
  }
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{"/earlier/item.ogg"}) << "replaced before the batch ended";
  RunEventLoopFor(350);
  EXPECT_EQ(ThePlaylist().items, files);
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedPath(), files[0]) << "playback starts at the first";
  EXPECT_TRUE(Shell().hand_over.empty());
}

TEST_F(HandOverTest, ArrivalsRightAfterStartJoinTheFirstProcessFiles) {
  Shell().start_tick = TickCount();
  window->OnHandOver({kHandOverFurtherPath, files[0]});
  EXPECT_EQ(ThePlaylist().items, (std::vector<std::string>{"/earlier/item.ogg", files[0]}));
  EXPECT_FALSE(window->IsTimerActive(kTimerHandOver));
  RunEventLoopFor(350);
  EXPECT_EQ(ThePlaylist().current_index, 0) << "the first file keeps playing";
  EXPECT_EQ(ThePlaylist().items.size(), 2u);
}

TEST_F(HandOverTest, WithoutBatchDelayEachArrivalStartsANewPlaylist) {
  TheSettings().disable_batch_delay = true;
  Shell().start_tick = TickCount();  // the direct case does not apply without the delay either
  for (int i = 0; i < 3; ++i) {
    window->OnHandOver({kHandOverFirstPath, files[i]});
    RunEventLoopFor(30);
    EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{files[i]});
    EXPECT_EQ(OpenedPath(), files[i]);
  }
}

TEST_F(HandOverTest, AFolderStandsForThePlayableFilesUnderIt) {
  window->OnHandOver({kHandOverFirstPath, folder.path().string()});
  RunEventLoopFor(350);
  EXPECT_EQ(ThePlaylist().items, files);
  EXPECT_EQ(OpenedPath(), files[0]);
}

TEST_F(HandOverTest, MissingPathsAreIgnoredAndAddressesAccepted) {
  window->OnHandOver({kHandOverFirstPath, "/no/such/file.mp3"});
  window->OnHandOver({kHandOverFurtherPath, "https://radio.example/stream"});
  RunEventLoopFor(350);
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{"https://radio.example/stream"});
}

TEST_F(HandOverTest, BareRequestAndBatchBringTheHiddenWindowBack) {
  window->hide();
  window->OnHandOver({kHandOverToFront, {}});
  EXPECT_TRUE(window->isVisible());

  window->hide();
  window->OnHandOver({kHandOverFirstPath, files[0]});
  RunEventLoopFor(350);
  EXPECT_TRUE(window->isVisible());

  TheSettings().bring_to_front = false;
  window->hide();
  window->OnHandOver({kHandOverFirstPath, files[1]});
  RunEventLoopFor(350);
  EXPECT_FALSE(window->isVisible());
}

TEST(HandOverFrame, RoundTripsInPiecesAndRejectsMalformedFrames) {
  HandOverFrameReader reader;
  const std::string stream = EncodeHandOverFrame({kHandOverFirstPath, "/music/café.flac"}) +
                             EncodeHandOverFrame({kHandOverToFront, {}});
  for (char byte : stream) reader.Append(std::string_view(&byte, 1));
  HandOverFrame frame;
  ASSERT_EQ(reader.Next(frame), HandOverFrameReader::Status::kFrame);
  EXPECT_EQ(frame.code, kHandOverFirstPath);
  EXPECT_EQ(frame.path, "/music/café.flac");
  ASSERT_EQ(reader.Next(frame), HandOverFrameReader::Status::kFrame);
  EXPECT_EQ(frame.code, kHandOverToFront);
  EXPECT_EQ(reader.Next(frame), HandOverFrameReader::Status::kNeedMore);

  const auto header = [](std::uint32_t size) {
    return std::string{char(size & 0xFF), char((size >> 8) & 0xFF), char((size >> 16) & 0xFF), char(size >> 24)};
  };
  const std::string malformed[] = {
      EncodeHandOverFrame({7, "/tmp"}),                     // unknown code
      EncodeHandOverFrame({kHandOverFirstPath, ""}),         // path code without a path
      EncodeHandOverFrame({kHandOverToFront, "/tmp"}),       // bare request with a path
      EncodeHandOverFrame({kHandOverFirstPath, "a\xFF"}),    // not UTF-8
      EncodeHandOverFrame({kHandOverFirstPath, std::string("a\0b", 3)}),
      header(0),
      header(static_cast<std::uint32_t>(kMaxHandOverBody + 1)),
  };
  for (const std::string& bytes : malformed) {
    HandOverFrameReader bad;
    bad.Append(bytes);
    EXPECT_EQ(bad.Next(frame), HandOverFrameReader::Status::kInvalid);
    bad.Append(EncodeHandOverFrame({kHandOverToFront, {}}));
    EXPECT_EQ(bad.Next(frame), HandOverFrameReader::Status::kInvalid) << "a broken stream stays broken";
  }
}

}  // namespace
}  // namespace kestrel::test
