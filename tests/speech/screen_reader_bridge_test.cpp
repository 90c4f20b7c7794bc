#include "speech/screen_reader_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "speech_test_fixture.h"

namespace kestrel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ScreenReaderBridgeTest = SpeechTest;

TEST_F(ScreenReaderBridgeTest, TheFirstRunningReaderInTableOrderIsUsed) {
  InstallReaders({"First", "Second", "Third"});
  Reader(0).running = false;
  EXPECT_TRUE(SpeakOutput("hello", true));
  EXPECT_TRUE(SilenceSpeech());
  EXPECT_THAT(TakeJournal(), ElementsAre("Second said hello [interrupt]", "Second silenced"));
  EXPECT_EQ(ActiveScreenReaderName(), "Second");
  EXPECT_EQ(Reader(2).is_running_calls, 0);  // detection stops at the first running reader
}

TEST_F(ScreenReaderBridgeTest, NoRunningReaderMeansNothingSpokenAndFalse) {
  InstallReaders({"First", "Second"});
  Reader(0).running = false;
  Reader(1).running = false;
  EXPECT_FALSE(SpeakOutput("hello", true));
  EXPECT_FALSE(SilenceSpeech());
  EXPECT_THAT(TakeJournal(), IsEmpty());
  EXPECT_EQ(ActiveScreenReaderName(), "");
}

TEST_F(ScreenReaderBridgeTest, AReaderThatClosedIsUnloadedAndTheNextRunningOneSpeaks) {
  InstallReaders({"First", "Second"});
  ASSERT_TRUE(SpeakOutput("one", false));
  Reader(0).running = false;
  EXPECT_TRUE(SpeakOutput("two", false));
  EXPECT_THAT(TakeJournal(), ElementsAre("First said one", "First unloaded", "Second said two"));
  EXPECT_EQ(ActiveScreenReaderName(), "Second");
}

TEST_F(ScreenReaderBridgeTest, TheOnlyReaderClosingLeavesSilenceWithoutError) {
  InstallReaders({"Only"});
  ASSERT_TRUE(SpeakOutput("one", true));
  Reader(0).running = false;
  EXPECT_FALSE(SpeakOutput("two", true));
  EXPECT_THAT(TakeJournal(), ElementsAre("Only said one [interrupt]", "Only unloaded"));
  EXPECT_EQ(Reader(0).unloads, 1);
  EXPECT_EQ(ActiveScreenReaderName(), "");
}

// A reader that fails once but still runs (busy, say) stays in use.
class FlakyReader : public FakeScreenReader {
 public:
  using FakeScreenReader::FakeScreenReader;
  bool Output(std::string_view text, bool interrupt) override {
    if (fail_next_) {
      fail_next_ = false;
      return false;
    }
    return FakeScreenReader::Output(text, interrupt);
  }
  bool fail_next_ = true;
};

TEST_F(ScreenReaderBridgeTest, AFailedOutputFromAReaderStillRunningKeepsIt) {
  auto state = std::make_shared<FakeReaderState>();
  std::vector<std::unique_ptr<ScreenReaderDriver>> drivers;
  drivers.push_back(std::make_unique<FlakyReader>("Flaky", state, journal_));
  SetScreenReaderDriversForTesting(std::move(drivers));
  journal_->clear();
  EXPECT_TRUE(SpeakOutput("lost", true));
  EXPECT_TRUE(SpeakOutput("heard", true));
  EXPECT_THAT(TakeJournal(), ElementsAre("Flaky said heard [interrupt]"));
  EXPECT_EQ(state->unloads, 0);
}

TEST_F(ScreenReaderBridgeTest, DetectionStartsAfreshTenSecondsAfterTheLastRecheck) {
  InstallReaders({"High", "Low"});
  Reader(0).running = false;
  now_ = 0;  // the last recheck is at 0 too: no forced detection yet
  ASSERT_TRUE(SpeakOutput("one", true));

  Reader(0).running = true;  // a reader with a higher rank starts
  now_ = 9999;
  ASSERT_TRUE(SpeakOutput("two", true));  // still within ten seconds: keeps the one in use
  now_ = 10000;
  ASSERT_TRUE(SpeakOutput("three", true));  // spoken, then the bridge forgets its choice
  now_ = 10001;
  ASSERT_TRUE(SpeakOutput("four", true));
  now_ = 15000;
  ASSERT_TRUE(SpeakOutput("five", true));
  EXPECT_THAT(TakeJournal(), ElementsAre("Low said one [interrupt]", "Low said two [interrupt]",
                                         "Low said three [interrupt]", "High said four [interrupt]",
                                         "High said five [interrupt]"));
  EXPECT_EQ(Reader(1).unloads, 0);  // passed over, not unloaded
}

TEST_F(ScreenReaderBridgeTest, TheRecheckCopesWithTheClockWrappingAround) {
  InstallReaders({"High", "Low"});
  Reader(0).running = false;
  now_ = 0xFFFFF000u;  // far from the initial mark: this output is followed by a recheck
  ASSERT_TRUE(SpeakOutput("one", true));
  now_ = 0xFFFFF001u;
  ASSERT_TRUE(SpeakOutput("two", true));
  Reader(0).running = true;
  now_ = 0xFFFFF000u + 20000u;  // wrapped past zero, twenty seconds later
  ASSERT_TRUE(SpeakOutput("three", true));
  ASSERT_TRUE(SpeakOutput("four", true));
  EXPECT_THAT(TakeJournal(),
              ElementsAre("Low said one [interrupt]", "Low said two [interrupt]",
                          "Low said three [interrupt]", "High said four [interrupt]"));
}

TEST_F(ScreenReaderBridgeTest, TheDesktopProbeIsAskedOnlyWhenInstalled) {
  EXPECT_FALSE(ScreenReaderEnabledByDesktop());
  bool enabled = true;
  SetScreenReaderEnabledProbe([&] { return enabled; });
  EXPECT_TRUE(ScreenReaderEnabledByDesktop());
  enabled = false;
  EXPECT_FALSE(ScreenReaderEnabledByDesktop());
  SetScreenReaderEnabledProbe(nullptr);
  EXPECT_FALSE(ScreenReaderEnabledByDesktop());
}

TEST_F(ScreenReaderBridgeTest, TheDefaultTableListsOrcaThenFenrir) {
  ::unsetenv("KESTREL_SPEECH");
  std::vector<std::string> names;
  for (const auto& driver : DefaultScreenReaderDrivers()) names.push_back(driver->name());
  EXPECT_THAT(names, ElementsAre("Orca", "Fenrir"));
}

}  // namespace
}  // namespace kestrel::test
