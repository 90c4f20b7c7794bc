#include "engine/seek_units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/transport.h"
#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

using Strings = std::vector<std::string>;

class SeekUnitsTest : public test::TransportTest {
 protected:
  // Only the listed units switched on.
  static void SwitchOn(const std::vector<int>& units) {
    for (const SeekUnit& unit : kSeekUnits) TheSettings().*unit.enabled = false;
    for (int index : units) TheSettings().*kSeekUnits[index].enabled = true;
  }
  static void PlaylistOf(std::size_t items) {
    ThePlaylist().items.assign(items, "/music/song.mp3");
  }
};

TEST_F(SeekUnitsTest, TheTableHoldsTheThirteenUnitsInOrder) {
  const Strings names = {"1 second", "5 seconds", "10 seconds", "30 seconds", "1 minute",
                         "5 minutes", "10 minutes", "30 minutes", "1 hour", "1 track",
                         "5 tracks", "10 tracks", "1 chapter"};
  const int amounts[] = {1, 5, 10, 30, 60, 300, 600, 1800, 3600, 1, 5, 10, 1};
  for (int i = 0; i < kSeekUnitCount; ++i) {
    EXPECT_EQ(kSeekUnits[i].name, names[i]);
    EXPECT_EQ(kSeekUnits[i].amount, amounts[i]);
    EXPECT_EQ(kSeekUnits[i].enabled, kSeekUnitFlags[i]);
  }
  struct Case {
    int current, amount;
  };
  for (const Case& c : {Case{0, 1}, {4, 60}, {8, 3600}, {10, 5}, {11, 10}, {12, 5}, {13, 5},
                        {-1, 5}}) {
    TheSettings().current_seek = c.current;
    EXPECT_EQ(CurrentSeekAmount(), c.amount) << c.current;
  }
}

TEST_F(SeekUnitsTest, CyclingStepsOverAvailableUnitsWithoutWrappingAround) {
  struct Case {
    const char* what;
    std::vector<int> on;
    std::size_t playlist_items;
    int start;
    std::vector<int> directions;
    Strings spoken;
    int final_unit;
  };
  const Case cases[] = {
      {"no wrap at the top", {1, 4, 8}, 1, 1, {+1, +1, +1}, {"1 minute", "1 hour", "1 hour"}, 8},
      {"no wrap at the bottom", {1, 4, 8}, 1, 4, {-1, -1}, {"5 seconds", "5 seconds"}, 1},
      {"nothing on", {}, 1, 7, {-1}, {"5 seconds"}, 1},
      {"one unit is spoken, the direction not applied", {2}, 1, 1, {+1, -1},
       {"10 seconds", "10 seconds"}, 2},
      {"track units need two items", {1, 10}, 1, 1, {+1}, {"5 seconds"}, 1},
      {"track units with two items", {1, 10}, 2, 1, {+1, +1}, {"5 tracks", "5 tracks"}, 10},
      {"the chapter unit needs chapters", {1, 12}, 3, 1, {+1}, {"5 seconds"}, 1},
      {"an unavailable unit becomes the first available, then steps", {0, 1, 9}, 1, 12, {+1},
       {"5 seconds"}, 1},
      {"skips what is off", {0, 3, 11}, 5, 0, {+1, +1, -1, -1, -1},
       {"30 seconds", "10 tracks", "30 seconds", "1 second", "1 second"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SwitchOn(c.on);
    PlaylistOf(c.playlist_items);
    TheSettings().current_seek = c.start;
    Strings spoken;
    for (int direction : c.directions) {
      CycleSeekUnit(direction);
      for (std::string& text : Spoken()) spoken.push_back(std::move(text));
    }
    EXPECT_EQ(spoken, c.spoken);
    EXPECT_EQ(TheSettings().current_seek, c.final_unit);
  }
}

TEST_F(SeekUnitsTest, TheUnitIsSpokenInTheActiveLanguage) {
  const auto speak_unit = [](int unit) {
    return [unit] {
      TheSettings().current_seek = unit;
      SpeakSeekUnit();
    };
  };
  EXPECT_EQ(SaidBy({speak_unit(1), speak_unit(12), [] { SetLanguage("fr"); }, speak_unit(8),
                    [] {
                      SwitchOn({});
                      CycleSeekUnit(+1);
                    },
                    speak_unit(13)}),  // out of range: nothing
            (Strings{"5 seconds", "1 chapter", "1 heure", "5 secondes"}));
}

TEST_F(SeekUnitsTest, EachTimeUnitSeeksByItsAmountBothWays) {
  OpenPaused(LongFile("long.flac", 5400));
  for (int unit = 0; unit <= 8; ++unit) {
    SCOPED_TRACE(kSeekUnits[unit].name);
    TheSettings().current_seek = unit;
    SeekTo(1000);
    SeekForward();
    EXPECT_DOUBLE_EQ(Position(), 1000.0 + kSeekUnits[unit].amount);
    SeekBackward();
    EXPECT_DOUBLE_EQ(Position(), 1000.0);
  }
  // Held at both ends.
  TheSettings().current_seek = 8;
  SeekTo(1000);
  SeekBackward();
  EXPECT_DOUBLE_EQ(Position(), 0.0);
  SeekTo(5000);
  SeekForward();
  EXPECT_DOUBLE_EQ(Position(), 5400.0);
}

TEST_F(SeekUnitsTest, TrackAndChapterUnitsMoveThroughThePlaylistAndChaptersNotTime) {
  OpenPaused(LongFile("long.flac", 600));
  struct Case {
    const char* what;
    int current;
    std::vector<int> on;
    std::size_t playlist_items;
    double after_forward;
  };
  const Case cases[] = {
      // With one item the first time unit switched on stands in for the track unit.
      {"5 tracks, one item", 10, {1, 10}, 1, 105},
      {"1 track, one item, 30 s and 1 min on", 9, {3, 4, 9}, 1, 130},
      {"1 track, one item, no time unit", 9, {9}, 1, 100},
      // With two items the playlist moves instead (not built yet: the position stays).
      {"5 tracks, two items", 10, {1, 10}, 2, 100},
      // No chapters: nothing moves.
      {"chapter", 12, {1, 12}, 1, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SwitchOn(c.on);
    PlaylistOf(c.playlist_items);
    TheSettings().current_seek = c.current;
    SeekTo(100);
    SeekForward();
    EXPECT_DOUBLE_EQ(Position(), c.after_forward);
    SeekTo(100);
    SeekBackward();
    EXPECT_DOUBLE_EQ(Position(), 100 - (c.after_forward - 100));
  }
  EXPECT_TRUE(Spoken().empty());
}

}  // namespace
}  // namespace kestrel
