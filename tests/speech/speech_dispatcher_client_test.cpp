#include "speech/speech_dispatcher_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "base/utf8.h"
#include "fake_ssip_server.h"
#include "speech/linux_screen_readers.h"
#include "speech/process_scan.h"
#include "speech_test_fixture.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Clock = std::chrono::steady_clock;

// SSIP commands are case-insensitive and libspeechd sends SPEAK in lower case; texts are compared
// exactly.
std::vector<std::string> WithCommandsInUpperCase(std::vector<std::string> lines) {
  for (std::string& line : lines) {
    if (EqualsIgnoreAsciiCase(line, "speak")) line = "SPEAK";
  }
  return lines;
}

// Points libspeechd at a fake service in a temporary folder for the duration of a test.
class SpeechDispatcherTest : public ::testing::Test {
 protected:
  void StartServer(FakeSsipServer::Behaviour behaviour = FakeSsipServer::Behaviour::kAnswer) {
    server_.emplace(folder_.path() / "ssip.sock", behaviour);
    ::setenv("SPEECHD_ADDRESS", server_->address().c_str(), 1);
  }
  void TearDown() override { ::unsetenv("SPEECHD_ADDRESS"); }

  std::vector<std::string> Lines() { return WithCommandsInUpperCase(server_->Lines()); }

  static SpeechDispatcherOptions QuickOptions() {
    return SpeechDispatcherOptions{kLibspeechdName, std::chrono::milliseconds(400)};
  }

  TempFolder folder_;
  std::optional<FakeSsipServer> server_;
};

TEST_F(SpeechDispatcherTest,
       SpeaksInterruptingWithTextPriorityQueuedWithMessagePriorityAndCancels) {
  StartServer();
  SpeechDispatcherClient client(QuickOptions());
  EXPECT_TRUE(client.Say("Hello, World", true));
  EXPECT_TRUE(client.Say("Next track", false));
  EXPECT_TRUE(client.Cancel());

  std::vector<std::string> lines = Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_THAT(lines[0], ::testing::StartsWith("SET SELF CLIENT_NAME \""));
  EXPECT_THAT(lines[0], ::testing::EndsWith(":kestrel:main\""));
  lines.erase(lines.begin());
  EXPECT_THAT(lines,
              ElementsAre("SET SELF PRIORITY TEXT", "SPEAK", "Hello, World", ".",
                          "SET SELF PRIORITY MESSAGE", "SPEAK", "Next track", ".", "CANCEL SELF"));
  EXPECT_EQ(server_->Connections(), 1);  // one connection, opened on first use
}

TEST_F(SpeechDispatcherTest, AServiceThatWentAwayFailsOneCallAndTheNextReconnects) {
  StartServer();
  server_->HangUpAfterMessages(1);
  SpeechDispatcherClient client(QuickOptions());
  ASSERT_TRUE(client.Say("one", true));
  // The write to the closed socket must neither kill the process (SIGPIPE) nor hang.
  EXPECT_FALSE(client.Say("two", true));
  EXPECT_TRUE(client.Say("three", true));
  EXPECT_EQ(server_->Connections(), 2);
  std::vector<std::string> lines = Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "three"), 1);
  EXPECT_EQ(
      std::count_if(lines.begin(), lines.end(),
                    [](const std::string& l) { return l.starts_with("SET SELF CLIENT_NAME"); }),
      2);
}

TEST_F(SpeechDispatcherTest, NoServiceMeansFailureAtOnceAndNoServiceIsStarted) {
  // An explicit address turns libspeechd's own start of the service off.
  ::setenv("SPEECHD_ADDRESS", ("unix_socket:" + (folder_.path() / "absent.sock").string()).c_str(),
           1);
  SpeechDispatcherClient client(QuickOptions());
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(client.Say("nobody listens", true));
  EXPECT_FALSE(client.Cancel());
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "absent.sock"));
}

TEST_F(SpeechDispatcherTest, AServiceThatNeverAnswersCostsOneTimeoutThenFailsAtOnce) {
  StartServer(FakeSsipServer::Behaviour::kSilent);
  {
    SpeechDispatcherClient client(QuickOptions());
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(client.Say("first", true));
    Clock::duration first = Clock::now() - start;
    EXPECT_GE(first, std::chrono::milliseconds(350));
    EXPECT_LT(first, std::chrono::milliseconds(2000));

    start = Clock::now();
    EXPECT_FALSE(client.Say("second", true));  // the open is still waiting: no second wait
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(100));
  }  // the client goes first; its abandoned open is closed once the service lets go
  EXPECT_EQ(server_->Connections(), 1);
}

TEST_F(SpeechDispatcherTest, AServiceThatStopsAnsweringMakesTheCallFailAfterTheTimeout) {
  StartServer(FakeSsipServer::Behaviour::kSilentAfterClientName);
  SpeechDispatcherClient client(QuickOptions());
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(client.Say("unanswered", true));
  Clock::duration waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(350));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));
  EXPECT_FALSE(client.Cancel());  // reconnects, names itself, then meets silence again
  EXPECT_EQ(server_->Connections(), 2);
}

TEST_F(SpeechDispatcherTest, AMissingLibraryMakesEveryCallFail) {
  StartServer();
  SpeechDispatcherClient client(
      {"libkestrel-no-such-library.so.0", std::chrono::milliseconds(400)});
  EXPECT_FALSE(client.Say("text", true));
  EXPECT_FALSE(client.Cancel());
  EXPECT_EQ(server_->Connections(), 0);
}

// The whole path: Speak, the drain, the bridge, the Orca driver, the speech service.
class OrcaThroughSpeechDispatcherTest : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    server_.emplace(folder_.path() / "ssip.sock");
    ::setenv("SPEECHD_ADDRESS", server_->address().c_str(), 1);
    std::vector<std::unique_ptr<ScreenReaderDriver>> drivers;
    drivers.push_back(MakeOrcaDriver({kLibspeechdName, std::chrono::milliseconds(400)}));
    SetScreenReaderDriversForTesting(std::move(drivers));
    EnableSpeechQueue();
  }
  void TearDown() override {
    SetScreenReaderEnabledProbe(nullptr);
    SpeechTest::TearDown();  // unloads the driver while the service still runs
    ::unsetenv("SPEECHD_ADDRESS");
  }

  TempFolder folder_;
  std::optional<FakeSsipServer> server_;
};

TEST_F(OrcaThroughSpeechDispatcherTest, QueuedTextsReachTheServiceAsOneMessage) {
  SetScreenReaderEnabledProbe([] { return true; });
  Speak("Playing");
  Speak("Track 2 of 10");
  DrainSpeechQueue();
  Speak("Line one\nline two", false);
  DrainSpeechQueue();
  EXPECT_EQ(ActiveScreenReaderName(), "Orca");

  std::vector<std::string> lines = WithCommandsInUpperCase(server_->Lines());
  ASSERT_FALSE(lines.empty());
  lines.erase(lines.begin());  // the client name
  EXPECT_THAT(
      lines, ElementsAre("CANCEL SELF", "SET SELF PRIORITY TEXT", "SPEAK", "Playing, Track 2 of 10",
                         ".", "SET SELF PRIORITY MESSAGE", "SPEAK", "Line one line two", "."));
}

TEST_F(OrcaThroughSpeechDispatcherTest, NothingIsSentWhileOrcaDoesNotRun) {
  if (IsProgramRunning("orca")) GTEST_SKIP() << "Orca runs on this machine";
  SetScreenReaderEnabledProbe([] { return false; });
  Speak("Playing");
  DrainSpeechQueue();
  EXPECT_EQ(ActiveScreenReaderName(), "");
  EXPECT_THAT(server_->Lines(), IsEmpty());
  EXPECT_EQ(server_->Connections(), 0);
}

}  // namespace
}  // namespace kestrel::test
