#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/ffmpeg_fixtures.h"
#include "playlist/navigation.h"
#include "playlist/navigation_fixture.h"
#include "playlist/replace_playlist.h"
#include "playlist/track_announcement.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

using test::Heard;
using test::HeardName;
using test::NavigationTest;

constexpr int kNextCommand = 204;

// ---- the end of a track, in every repeat / shuffle / AutoAdvance combination -----------------

struct EndCase {
  const char* name;
  int repeat;
  bool shuffle;
  bool auto_advance;
  int count;
  int playing;   // the item that reaches its end
  int expected;  // the current item afterwards
  Heard heard;   // and how it is left
};

class EndOfTrackTest : public test::NavigationTest,
                       public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndOfTrackTest, EndOfTrackAdvancesAsTheModesSay) {
  const EndCase& c = GetParam();
  FillPlaylist(c.count, 0.3);
  TheSettings().repeat_mode = c.repeat;
  TheSettings().shuffle = c.shuffle;
  TheSettings().auto_advance = c.auto_advance;

  PlayItem(c.playing, true);
  ASSERT_EQ(OpenedIndex(), c.playing);

  // The main window's part: the end sync posts Next with a marker meaning "load, do not play".
  const auto command = NextPostedCommand();
  ASSERT_TRUE(command.has_value()) << "the end of the track posted nothing";
  ASSERT_EQ(command->first, kNextCommand);
  PlayNext(command->second == 0);

  EXPECT_EQ(ThePlaylist().current_index, c.expected);
  EXPECT_EQ(OpenedIndex(), c.expected);
  EXPECT_EQ(Now(), c.heard) << "left " << HeardName(Now()) << ", expected " << HeardName(c.heard);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EndOfTrackTest,
    ::testing::Values(
        //      name                      rep shuf  auto  n  at  ->  heard
        EndCase{"OffAdvanceMiddle",        0, false, true,  5, 2, 3, Heard::kPlaying},
        EndCase{"OffAdvanceLast",          0, false, true,  5, 4, 4, Heard::kStopped},
        EndCase{"OffNoAdvanceMiddle",      0, false, false, 5, 2, 3, Heard::kPaused},
        EndCase{"OffNoAdvanceLast",        0, false, false, 5, 4, 4, Heard::kStopped},
        EndCase{"TrackNoAdvance",          1, false, false, 5, 2, 2, Heard::kPlaying},
        EndCase{"TrackAdvance",            1, false, true,  5, 4, 4, Heard::kPlaying},
        EndCase{"AllNoAdvanceLastWraps",   2, false, false, 5, 4, 0, Heard::kPlaying},
        EndCase{"AllAdvanceMiddle",        2, false, true,  5, 1, 2, Heard::kPlaying},
        EndCase{"ShuffleTwoItems",         0, true,  true,  2, 0, 1, Heard::kPlaying},
        EndCase{"ShuffleNoAdvanceTwo",     0, true,  false, 2, 1, 0, Heard::kPaused},
        EndCase{"ShuffleTrackRepeatsTrack",1, true,  true,  2, 1, 1, Heard::kPlaying},
        EndCase{"ShuffleOneItemStops",     0, true,  true,  1, 0, 0, Heard::kStopped},
        EndCase{"ShuffleOneItemAllWraps",  2, true,  false, 1, 0, 0, Heard::kPlaying}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Next pressed by the user ---------------------------------------------------------------

struct NextCase {
  const char* name;
  int repeat;
  bool shuffle;
  int at;
  std::vector<int> draws;  // what the shuffle draw answers, in turn
  int expected;
  Heard heard;
};

class NextCommandTest : public test::NavigationTest,
                        public ::testing::WithParamInterface<NextCase> {};

TEST_P(NextCommandTest, NextMovesAsTheModesSay) {
  const NextCase& c = GetParam();
  FillPlaylist(5, 5);
  TheSettings().repeat_mode = c.repeat;
  TheSettings().shuffle = c.shuffle;
  std::vector<int> draws = c.draws;
  std::size_t drawn = 0;
  SetShuffleDrawForTesting([&](int count) {
    EXPECT_EQ(count, 5);
    return drawn < draws.size() ? draws[drawn++] : 0;
  });
  PlayItem(c.at, true);

  PlayNext(true);

  EXPECT_EQ(ThePlaylist().current_index, c.expected);
  EXPECT_EQ(OpenedIndex(), c.expected);
  EXPECT_EQ(Now(), c.heard) << HeardName(Now());
  EXPECT_EQ(drawn, draws.size()) << "every planned draw is used, no more";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, NextCommandTest,
    ::testing::Values(
        NextCase{"OffMiddle", 0, false, 1, {}, 2, Heard::kPlaying},
        NextCase{"OffLastStops", 0, false, 4, {}, 4, Heard::kStopped},
        NextCase{"TrackRestartsSameItem", 1, false, 3, {}, 3, Heard::kPlaying},
        NextCase{"AllLastPlaysFirst", 2, false, 4, {}, 0, Heard::kPlaying},
        NextCase{"ShuffleRedrawsTheCurrentItem", 0, true, 2, {2, 2, 4}, 4, Heard::kPlaying},
        NextCase{"ShuffleMayGoBack", 0, true, 3, {0}, 0, Heard::kPlaying},
        NextCase{"ShuffleWithAllNeverEnds", 2, true, 4, {1}, 1, Heard::kPlaying},
        NextCase{"TrackWinsOverShuffle", 1, true, 2, {}, 2, Heard::kPlaying}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NavigationTest, ShuffleNeverRepeatsTheCurrentItemAndAlternatesBetweenTwo) {
  FillPlaylist(3, 5);
  TheSettings().shuffle = true;
  PlayItem(0, true);
  for (int step = 0; step < 30; ++step) {
    const int before = ThePlaylist().current_index;
    PlayNext(true);
    ASSERT_NE(ThePlaylist().current_index, before) << "step " << step;
    ASSERT_GE(ThePlaylist().current_index, 0);
    ASSERT_LT(ThePlaylist().current_index, 3);
  }
  ThePlaylist().items.pop_back();
  PlayItem(0, true);
  for (int step = 1; step <= 6; ++step) {
    PlayNext(true);
    ASSERT_EQ(ThePlaylist().current_index, step % 2);
  }
}

// ---- Previous and SkipTracks -------------------------------------------------------------------

struct PreviousCase {
  const char* name;
  int at;
  double position;
  int expected;
  bool restarted;  // the same item, back at 0
};

class PreviousTest : public test::NavigationTest,
                     public ::testing::WithParamInterface<PreviousCase> {};

TEST_P(PreviousTest, PreviousRestartsOrGoesBack) {
  const PreviousCase& c = GetParam();
  FillPlaylist(3, 6);
  TheSettings().repeat_mode = 2;  // Previous ignores repeat and shuffle
  TheSettings().shuffle = true;
  PlayItem(c.at, true);
  ASSERT_TRUE(audio::Pause(ThePlayerState().output_stream));
  GetTempoProcessor().SetPositionSeconds(c.position);
  const audio::Handle before = ThePlayerState().output_stream;

  PlayPrevious();

  EXPECT_EQ(ThePlaylist().current_index, c.expected);
  EXPECT_EQ(OpenedIndex(), c.expected);
  EXPECT_LT(Position(), 0.5);
  EXPECT_EQ(ThePlayerState().output_stream == before, c.restarted)
      << "a restart keeps the channel, a move opens another";
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PreviousTest,
    ::testing::Values(PreviousCase{"PastThreeSecondsRestarts", 2, 3.5, 2, true},
                      PreviousCase{"BeforeThreeSecondsGoesBack", 2, 2.9, 1, false},
                      PreviousCase{"FirstItemReplaysFirst", 0, 1.0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct SkipCase {
  int at;
  int count;
  int expected;
  bool moved;
};

class SkipTracksTest : public test::NavigationTest,
                       public ::testing::WithParamInterface<SkipCase> {};

TEST_P(SkipTracksTest, SkipsWithinTheListAndDoesNothingAtTheEnds) {
  const SkipCase& c = GetParam();
  FillPlaylist(5, 5);
  PlayItem(c.at, true);
  const audio::Handle before = ThePlayerState().output_stream;
  const int changes = ItemChanges();
  Spoken();

  SkipPlaylistTracks(c.count);

  EXPECT_EQ(ThePlaylist().current_index, c.expected);
  EXPECT_EQ(OpenedIndex(), c.expected);
  EXPECT_EQ(ThePlayerState().output_stream != before, c.moved);
  EXPECT_EQ(ItemChanges() - changes, c.moved ? 1 : 0);
  if (!c.moved) {
    EXPECT_TRUE(Spoken().empty()) << "nothing is said at either end";
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, SkipTracksTest,
                         ::testing::Values(SkipCase{2, 10, 4, true}, SkipCase{4, 10, 4, false},
                                           SkipCase{1, 2, 3, true}, SkipCase{3, -1, 2, true},
                                           SkipCase{2, -10, 0, true}, SkipCase{0, -5, 0, false},
                                           SkipCase{2, 0, 2, false}));

// ---- PlayItem: failures, the guard, recent files, the item being left ---------------------------

TEST_F(NavigationTest, TwelveBrokenFilesAreTriedTenTimesAndEachSkipIsSaid) {
  for (int i = 0; i < 12; ++i) ThePlaylist().items.push_back(Broken("bad" + std::to_string(i) + ".mp3"));
  PlayItem(0, true);
  EXPECT_EQ(ThePlaylist().current_index, 9);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_FALSE(ThePlaylist().opening);
  EXPECT_TRUE(boxes_.empty()) << "with a list to move on in, the opener stays silent";
  std::string said;
  for (const std::string& text : Spoken()) said += text + "\n";
  for (int i = 0; i < 10; ++i) {
    EXPECT_NE(said.find("Cannot play file: bad" + std::to_string(i) + ".mp3"), std::string::npos) << said;
  }
  EXPECT_EQ(said.find("bad10.mp3"), std::string::npos);
  EXPECT_TRUE(TheSettings().recent_files.empty());
  EXPECT_EQ(ItemChanges(), 0);
}

TEST_F(NavigationTest, BrokenItemsAreSkippedToTheFirstThatPlays) {
  ThePlaylist().items = {Broken("a.mp3"), Broken("b.ogg"), Tone("c.wav", 5), Tone("d.wav", 5)};
  PlayItem(0, true);
  EXPECT_EQ(ThePlaylist().current_index, 2);
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_EQ(TheSettings().recent_files, std::vector<std::string>{ThePlaylist().items[2]});
  EXPECT_EQ(ItemChanges(), 1);
}

TEST_F(NavigationTest, ASingleBrokenItemIsTriedOnceAndExplainedInABox) {
  ThePlaylist().items = {Broken("only.mp3")};
  PlayItem(0, true);
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_TRUE(Spoken().empty()) << "the box already says it";
}

TEST_F(NavigationTest, BrokenLastItemDoesNotWrapToTheFirst) {
  ThePlaylist().items = {Tone("a.wav", 5), Broken("b.mp3")};
  PlayItem(1, true);
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
}

TEST_F(NavigationTest, NavigationWhileAnItemOpensIsDropped) {
  FillPlaylist(3, 5);
  PlayItem(1, true);
  ThePlaylist().opening = true;
  PlayItem(2, true);
  PlayNext(true);
  PlayPrevious();
  SkipPlaylistTracks(1);
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(OpenedIndex(), 1);
  ThePlaylist().opening = false;
}

TEST_F(NavigationTest, EmptyListOrIndexOutsideItDoesNothing) {
  PlayNext(true);
  PlayPrevious();
  SkipPlaylistTracks(3);
  PlayCurrent();
  TogglePlayPause();
  EXPECT_EQ(ThePlaylist().current_index, -1);
  FillPlaylist(2, 5);
  PlayItem(2, true);
  PlayItem(-1, true);
  EXPECT_EQ(ThePlaylist().current_index, -1);
  EXPECT_EQ(ThePlayerState().output_stream, 0u);
}

TEST_F(NavigationTest, PlayedItemsEnterRecentFilesButStreamsDoNot) {
  FillPlaylist(2, 5);
  PlayItem(0, true);
  PlayItem(1, true);
  PlayItem(0, true);
  EXPECT_EQ(TheSettings().recent_files,
            (std::vector<std::string>{ThePlaylist().items[0], ThePlaylist().items[1]}));
}

TEST_F(NavigationTest, AutoplayOffLeavesTheItemLoadedAndPaused) {
  FillPlaylist(2, 5);
  PlayItem(1, false);
  EXPECT_EQ(Now(), Heard::kPaused);
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(ItemChanges(), 1);
}

TEST_F(NavigationTest, TheItemBeingLeftIsToldWhileItIsStillCurrentAndOpen) {
  FillPlaylist(3, 5);
  std::vector<std::string> left;
  SetItemLeaveHandler([&] {
    ASSERT_NE(ThePlayerState().output_stream, 0u);
    left.push_back(ThePlaylist().items[static_cast<std::size_t>(ThePlaylist().current_index)]);
  });
  const std::vector<std::string> first = ThePlaylist().items;
  PlayItem(0, true);  // nothing was open: nothing to save
  PlayNext(true);
  SkipPlaylistTracks(1);
  EXPECT_EQ(left, (std::vector<std::string>{first[0], first[1]}));

  // Replacing the list saves the item being left, and never an item of the new list.
  left.clear();
  const std::string other = Tone("other.wav", 5);
  EXPECT_TRUE(ReplacePlaylist({Tone("x.wav", 5), other}, 1));
  EXPECT_EQ(left, std::vector<std::string>{first[2]});
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(OpenedPath(), other);
  EXPECT_EQ(Now(), Heard::kPlaying);
}

TEST_F(NavigationTest, ReplacingWithNothingKeepsTheListAndWhatPlays) {
  FillPlaylist(2, 5);
  PlayItem(1, true);
  const std::vector<std::string> before = ThePlaylist().items;
  EXPECT_FALSE(ReplacePlaylist({}));
  EXPECT_EQ(ThePlaylist().items, before);
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(Now(), Heard::kPlaying);
}

TEST_F(NavigationTest, ReplacingWithAStartOutsideTheListPlaysTheFirst) {
  EXPECT_TRUE(ReplacePlaylist({Tone("a.wav", 5), Tone("b.wav", 5)}, 7));
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedIndex(), 0);
}

// ---- Play and Play/Pause ----------------------------------------------------------------------

TEST_F(NavigationTest, PlayRestartsAPlayingItemAndResumesAPausedOne) {
  FillPlaylist(2, 6);
  PlayItem(1, true);
  GetTempoProcessor().SetPositionSeconds(3.0);
  PlayCurrent();
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_LT(Position(), 1.0) << "Play while playing starts the item again";

  ASSERT_TRUE(audio::Pause(ThePlayerState().output_stream));
  GetTempoProcessor().SetPositionSeconds(3.0);
  PlayCurrent();
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_GE(Position(), 2.9) << "a paused item resumes where it is";
  EXPECT_EQ(ThePlaylist().current_index, 1);
}

TEST_F(NavigationTest, PlayPauseTogglesAndWithNothingOpenActsAsPlay) {
  FillPlaylist(2, 6);
  TogglePlayPause();  // nothing open, no current item: the first item through PlayItem
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_EQ(ItemChanges(), 1);
  TogglePlayPause();
  EXPECT_EQ(Now(), Heard::kPaused);
  TogglePlayPause();
  EXPECT_EQ(Now(), Heard::kPlaying);
}

TEST_F(NavigationTest, PlayWithNothingOpenOpensTheCurrentItemDirectly) {
  FillPlaylist(3, 6);
  ThePlaylist().current_index = 2;
  PlayCurrent();
  EXPECT_EQ(OpenedIndex(), 2);
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_TRUE(TheSettings().recent_files.empty()) << "the direct open bypasses PlayItem";
  EXPECT_EQ(ItemChanges(), 0);
}

// ---- Repeat and shuffle commands --------------------------------------------------------------

TEST_F(NavigationTest, RepeatCyclesOffTrackAllAndEachStepIsSpokenAndSaved) {
  const char* spoken[] = {"Repeat track", "Repeat all", "Repeat off"};
  for (int step = 0; step < 3; ++step) {
    CycleRepeatMode();
    EXPECT_EQ(TheSettings().repeat_mode, (step + 1) % 3);
    EXPECT_EQ(Spoken(), std::vector<std::string>{spoken[step]});
    EXPECT_NE(test::ReadWholeFile(SettingsFilePath()).find("RepeatMode=" + std::to_string((step + 1) % 3)),
              std::string::npos);
  }
  TheSettings().repeat_mode = 7;  // a value no cycle makes reads as off
  CycleRepeatMode();
  EXPECT_EQ(TheSettings().repeat_mode, 1);
}

TEST_F(NavigationTest, ShuffleTogglesSpeaksAndSaves) {
  EXPECT_TRUE(ToggleShuffle());
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Shuffle on"});
  EXPECT_NE(test::ReadWholeFile(SettingsFilePath()).find("Shuffle=1"), std::string::npos);
  EXPECT_FALSE(ToggleShuffle());
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Shuffle off"});
  EXPECT_NE(test::ReadWholeFile(SettingsFilePath()).find("Shuffle=0"), std::string::npos);
}

// ---- The announcement of a new track ----------------------------------------------------------

std::string Id3v1(const std::string& title, const std::string& artist) {
  std::string block(128, '\0');
  block.replace(0, 3, "TAG");
  block.replace(3, title.size(), title);
  block.replace(33, artist.size(), artist);
  return block;
}

struct AnnouncementCase {
  const char* name;
  TrackTags tags;
  std::string expected;
};

class AnnouncementTextTest : public ::testing::TestWithParam<AnnouncementCase> {};

TEST_P(AnnouncementTextTest, SaysWhatTheTagsOffer) {
  EXPECT_EQ(TrackAnnouncementText(GetParam().tags, "/music/Folder.v2/song one.flac"),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, AnnouncementTextTest,
    ::testing::Values(
        AnnouncementCase{"StreamTitleFirst", {"Live - Now", "T", "A", ""}, "Live - Now"},
        AnnouncementCase{"ArtistAndTitle", {"", "T", "A", ""}, "A - T"},
        AnnouncementCase{"TitleAlone", {"", "T", "", ""}, "T"},
        AnnouncementCase{"ArtistAloneGivesTheFileName", {"", "", "A", ""}, "song one.flac"},
        AnnouncementCase{"Id3v1WhenTheListsHaveNoTitle", {"", "", "", Id3v1("Old", "Band")}, "Band - Old"},
        AnnouncementCase{"ListArtistWithId3v1Title", {"", "", "A", Id3v1("Old", "Band")}, "A - Old"},
        AnnouncementCase{"Id3v1Latin1", {"", "", "", Id3v1("Caf\xE9", "")}, "Caf\xC3\xA9"},
        AnnouncementCase{"DamagedId3v1IsIgnored", {"", "", "", "TAG short"}, "song one.flac"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnnouncementText, ALongFileNameIsCutWithoutSplittingACharacter) {
  std::string name(510, 'a');
  name += "\xC3\xA9\xC3\xA9.mp3";  // the cut at 511 bytes falls inside the first é
  const std::string said = TrackAnnouncementText({}, "/m/" + name);
  EXPECT_EQ(said, std::string(510, 'a'));
}

TEST_F(NavigationTest, TrackChangeAnnouncesArtistAndTitleOfTheNewItem) {
  const auto tagged = temp_.path() / "tagged.flac";
  ASSERT_TRUE(test::MakeChirpFile(tagged, {"-metadata", "title=Tune", "-metadata", "artist=Band"}, 1));
  ThePlaylist().items = {tagged.string(), Tone("plain.wav", 1)};
  TheSettings().track_change = true;
  PlayItem(0, true);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Band - Tune"});
  PlayItem(1, true);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"plain.wav"});
  TheSettings().track_change = false;
  PlayItem(0, true);
  EXPECT_TRUE(Spoken().empty());
}

}  // namespace
}  // namespace kestrel
