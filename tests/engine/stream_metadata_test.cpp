// A new stream title on a stream-like channel played on the null device: what the song history
// keeps and what is announced.
#include "engine/stream_metadata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/audio.h"
#include "audio/support/stream_like_source.h"
#include "audio/support/null_output_fixture.h"
#include "base/post_to_ui.h"
#include "engine/player_state.h"
#include "i18n/translate.h"
#include "speech/speech.h"
#include "storage/database.h"
#include "storage/settings.h"
#include "support/noting_reader.h"

namespace kestrel {
namespace {

// Endless silence with no length and a metadata block the test changes, as an internet radio
// station's source keeps them.
std::unique_ptr<audio::Source> StationSource(std::shared_ptr<const std::string> meta) {
  using audio::TagBlock;
  return std::make_unique<test::StreamLikeSource>(
      std::map<TagBlock, std::string>{{TagBlock::kIcy, std::string("icy-name:Test FM\0\0", 18)}},
      std::move(meta));
}

struct Utterance {
  std::string text;
  bool interrupt;
  bool operator==(const Utterance&) const = default;
};

class StreamMetadataTest : public test::NullOutputTest {
 protected:
  void SetUp() override {
    NullOutputTest::SetUp();
    RegisterAllTranslations();
    SetLanguage("en");
    ThePlayerState() = PlayerState{};
    TheSettings() = Settings{};
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
    SetUiMessageSink([](PostedMessage) {});  // speech is only queued while a window listens
    speech_.emplace([this](std::string_view text, bool interrupt) {
      said_.push_back({std::string(text), interrupt});
    });
  }

  void TearDown() override {
    ThePlayerState() = PlayerState{};
    for (const audio::Handle channel : channels_) audio::FreeStream(channel);
    speech_.reset();
    ClearUiMessageSink();
    CloseDatabase();
    NullOutputTest::TearDown();
  }

  // A station channel whose metadata block is `*meta`, playing; it becomes the metadata channel
  // the way opening a stream makes it, under an output stream of its own with no tags.
  void TuneIn(const std::shared_ptr<std::string>& meta) {
    const audio::Handle source =
        audio::CreateSourceStream(StationSource(meta), 0);
    ASSERT_NE(source, 0u);
    channels_.push_back(source);
    ThePlayerState().meta_channel = source;
    ThePlayerState().source_channel = 0;  // owned by the output stream
    ThePlayerState().output_stream = silent_output_;
  }

  std::vector<Utterance> Said() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  static std::vector<std::string> History() {
    std::vector<std::string> titles;
    for (const SongHistoryEntry& entry : ListSongHistory()) titles.push_back(entry.title);
    return titles;
  }

  void SetUpSilentOutput() {
    auto none = std::make_shared<std::string>();
    silent_output_ = audio::CreateSourceStream(StationSource(none), 0);
    ASSERT_NE(silent_output_, 0u);
    channels_.push_back(silent_output_);
  }

  audio::Handle silent_output_ = 0;
  std::vector<audio::Handle> channels_;

 private:
  std::vector<Utterance> said_;
  std::optional<test::NotedSpeech> speech_;
};

TEST_F(StreamMetadataTest, ANewTitleIsKeptAndAnnouncedOnlyWithTrackChangeOn) {
  SetUpSilentOutput();
  for (const bool track_change : {true, false}) {
    SCOPED_TRACE(track_change);
    ClearSongHistory();
    TheSettings().track_change = track_change;
    TuneIn(std::make_shared<std::string>("StreamTitle='Daft Punk - One More Time';StreamUrl='';"));
    OnStreamMetadata();
    EXPECT_EQ(History(), std::vector<std::string>{"Daft Punk - One More Time"});
    const std::vector<Utterance> expected =
        track_change ? std::vector<Utterance>{{"Daft Punk - One More Time", true}}
                     : std::vector<Utterance>{};
    EXPECT_EQ(Said(), expected);
  }
}

TEST_F(StreamMetadataTest, TitlesInTurnAreKeptOnceInARowAndAnnouncedWhenTheyChange) {
  SetUpSilentOutput();
  TheSettings().track_change = true;
  auto meta = std::make_shared<std::string>();
  TuneIn(meta);
  struct Step {
    const char* block;
    std::vector<std::string> history;  // newest first
    std::vector<std::string> said;
  };
  const Step steps[] = {
      {"StreamTitle='Band - Song A';", {"Band - Song A"}, {"Band - Song A"}},
      // The station sends the same title again: neither stored nor announced again.
      {"StreamTitle='Band - Song A';", {"Band - Song A"}, {}},
      {"StreamTitle='Band - Song B';", {"Band - Song B", "Band - Song A"}, {"Band - Song B"}},
      {"StreamTitle='Band - Song A';",
       {"Band - Song A", "Band - Song B", "Band - Song A"},
       {"Band - Song A"}},
      // An advert break without a title: nothing.
      {"StreamTitle='';", {"Band - Song A", "Band - Song B", "Band - Song A"}, {}},
      {"", {"Band - Song A", "Band - Song B", "Band - Song A"}, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.block);
    *meta = step.block;
    OnStreamMetadata();
    EXPECT_EQ(History(), step.history);
    std::vector<std::string> said;
    for (const Utterance& utterance : Said()) said.push_back(utterance.text);
    EXPECT_EQ(said, step.said);
  }

  // The same station opened again: its first title is announced even though it was heard last.
  auto again = std::make_shared<std::string>("StreamTitle='Band - Song A';");
  TuneIn(again);
  OnStreamMetadata();
  EXPECT_EQ(Said(), (std::vector<Utterance>{{"Band - Song A", true}}));
  EXPECT_EQ(History().size(), 3u);

  // Opened with the track announcement saying its title: the first report keeps it, silently.
  auto announced = std::make_shared<std::string>("StreamTitle='Band - Song C';");
  TuneIn(announced);
  NoteAnnouncedStreamTitle(ThePlayerState().meta_channel, "Band - Song C");
  OnStreamMetadata();
  EXPECT_TRUE(Said().empty());
  EXPECT_EQ(History().front(), "Band - Song C");
  *announced = "StreamTitle='Band - Song D';";
  OnStreamMetadata();
  EXPECT_EQ(Said(), (std::vector<Utterance>{{"Band - Song D", true}}));
}

TEST_F(StreamMetadataTest, NothingPlayingOrAClosedStoreLosesNothingElse) {
  TheSettings().track_change = true;
  OnStreamMetadata();  // nothing plays
  EXPECT_TRUE(History().empty());
  EXPECT_TRUE(Said().empty());

  // Without the database the title is still announced.
  SetUpSilentOutput();
  TuneIn(std::make_shared<std::string>("StreamTitle='Artist - Title';"));
  CloseDatabase();
  OnStreamMetadata();
  EXPECT_EQ(Said(), (std::vector<Utterance>{{"Artist - Title", true}}));
}

}  // namespace
}  // namespace kestrel
