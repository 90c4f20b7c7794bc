#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "base/ui_messages.h"
#include "speech_test_fixture.h"

namespace kestrel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SpeechQueueTest : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    InstallReaders({"Reader"});
  }
};

TEST_F(SpeechQueueTest, TextsQueuedInOneTurnAreSpokenAsOneUtterance) {
  EnableSpeechQueue();
  Speak("A");
  Speak("B");
  Speak("C");
  // Each Speak wakes the user-interface thread; only the first drain finds anything.
  EXPECT_THAT(Posted(), ElementsAre(kMsgDrainSpeech, kMsgDrainSpeech, kMsgDrainSpeech));
  DrainSpeechQueue();
  DrainSpeechQueue();
  DrainSpeechQueue();
  EXPECT_THAT(TakeJournal(), ElementsAre("Reader silenced", "Reader said A, B, C [interrupt]"));
}

TEST_F(SpeechQueueTest, TheOldestEntryDecidesWhetherToInterrupt) {
  struct Case {
    bool first, second;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, true, {"Reader said first, second"}},
      {true, false, {"Reader silenced", "Reader said first, second [interrupt]"}},
  };
  EnableSpeechQueue();
  for (const Case& c : cases) {
    Speak("first", c.first);
    Speak("second", c.second);
    DrainSpeechQueue();
    EXPECT_EQ(TakeJournal(), c.expected);
  }
}

TEST_F(SpeechQueueTest, EmptyTextsAddNoSeparator) {
  EnableSpeechQueue();
  Speak("");
  Speak("Paused", false);
  Speak("");
  DrainSpeechQueue();
  EXPECT_THAT(TakeJournal(), ElementsAre("Reader silenced", "Reader said Paused [interrupt]"));
  Speak("");
  DrainSpeechQueue();
  EXPECT_THAT(TakeJournal(), IsEmpty());
}

TEST_F(SpeechQueueTest, TextsAreDroppedBeforeEnablingAndWithoutAMainWindow) {
  Speak("too early");
  DrainSpeechQueue();
  EXPECT_THAT(Posted(), IsEmpty());

  EnableSpeechQueue();
  DrainSpeechQueue();
  ClearUiMessageSink();
  Speak("no window");
  SetUiMessageSink([](PostedMessage) {});
  DrainSpeechQueue();
  EXPECT_THAT(TakeJournal(), IsEmpty());
}

TEST_F(SpeechQueueTest, ShutdownSilencesDiscardsQueuedTextsAndDropsLaterOnes) {
  EnableSpeechQueue();
  Speak("left in the queue");
  ShutdownSpeech();
  EXPECT_THAT(TakeJournal(), ElementsAre("Reader silenced"));

  // Worker threads that speak after shutdown find a disabled queue and a lock that still exists.
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([] {
      for (int i = 0; i < 100; ++i) Speak("late");
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(Posted().size(), 1u);  // only the message of the text spoken before shutdown

  EnableSpeechQueue();
  DrainSpeechQueue();
  EXPECT_THAT(TakeJournal(), IsEmpty());
}

TEST_F(SpeechQueueTest, TextsFromWorkerThreadsReachTheNextDrain) {
  EnableSpeechQueue();
  constexpr int kThreads = 4;
  constexpr int kTextsEach = 50;
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([t] {
      for (int i = 0; i < kTextsEach; ++i) {
        Speak("t" + std::to_string(t) + "-" + std::to_string(i), false);
      }
    });
  }
  for (auto& worker : workers) worker.join();
  std::vector<int> posted = Posted();
  EXPECT_EQ(posted.size(), static_cast<std::size_t>(kThreads * kTextsEach));
  EXPECT_TRUE(
      std::all_of(posted.begin(), posted.end(), [](int m) { return m == kMsgDrainSpeech; }));

  DrainSpeechQueue();
  std::vector<std::string> journal = TakeJournal();
  ASSERT_EQ(journal.size(), 1u);
  std::string utterance = journal[0].substr(std::string("Reader said ").size());
  std::set<std::string> spoken;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = utterance.find(", ", start);
    spoken.insert(utterance.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 2;
  }
  EXPECT_EQ(spoken.size(), static_cast<std::size_t>(kThreads * kTextsEach));
  EXPECT_TRUE(spoken.contains("t3-49"));
}

}  // namespace
}  // namespace kestrel::test
