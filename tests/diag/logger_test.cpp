#include "diag/logger.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/utf8.h"
#include "support/temp_folder.h"

namespace kestrel {
namespace {

using test::ReadWholeFile;
using test::TempFolder;

constexpr std::size_t kRotationLimit = 1048575;

// Every line of the log, each without its "\r\n"; fails the test if a line lacks it.
std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "unterminated line: " << content.substr(start);
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

const std::regex& LineFormat() {
  static const std::regex format(R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\] \[([A-Z0-9]+)\] (.*))");
  return format;
}

class LoggerTest : public ::testing::Test {
 protected:
  void TearDown() override { StopLogger(); }
  std::filesystem::path LogFile() const { return folder_.path() / "kestrel.log"; }
  std::filesystem::path OldFile() const { return folder_.path() / "kestrel.log.old"; }
  TempFolder folder_;
};

TEST_F(LoggerTest, StartWritesInitLineInTheFormatAndStopWritesExitLineThenDropsWrites) {
  StartLogger(folder_.path() / "created" / "on" / "start");
  std::filesystem::path log = folder_.path() / "created" / "on" / "start" / "kestrel.log";
  EXPECT_EQ(LogPath(), log);
  LogText("MPV", "libmpv.so.2 loaded");
  StopLogger();
  LogText("MPV", "after stop");
  LogFormat("MPV", "after stop %d", 2);
  StopLogger();  // a second stop writes nothing more

  std::vector<std::string> lines = Lines(ReadWholeFile(log));
  ASSERT_EQ(lines.size(), 3u);
  const char* expected[][2] = {{"INIT", "Kestrel logger started"},
                               {"MPV", "libmpv.so.2 loaded"},
                               {"EXIT", "Kestrel logger stopped"}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, LineFormat())) << lines[i];
    EXPECT_EQ(match[1], expected[i][0]);
    EXPECT_EQ(match[2], expected[i][1]);
  }
}

TEST_F(LoggerTest, WritesBeforeStartAreDropped) {
  StopLogger();
  LogText("MPV", "too early");
  StartLogger(folder_.path());
  std::string content = ReadWholeFile(LogFile());
  EXPECT_EQ(content.find("too early"), std::string::npos);
  EXPECT_EQ(Lines(content).size(), 1u);
}

TEST_F(LoggerTest, LogOfExactlyTheLimitStaysAndTheNextWriteRotatesIt) {
  folder_.Write("kestrel.log", std::string(kRotationLimit, 'a'));
  folder_.Write("kestrel.log.old", "an older log");
  StartLogger(folder_.path());
  // The log was not larger than the limit: the INIT line went to its end.
  std::string grown = ReadWholeFile(LogFile());
  ASSERT_GT(grown.size(), kRotationLimit);
  EXPECT_EQ(grown.substr(0, kRotationLimit), std::string(kRotationLimit, 'a'));
  EXPECT_EQ(ReadWholeFile(OldFile()), "an older log");

  LogText("MPV", "first line of the new log");
  EXPECT_EQ(ReadWholeFile(OldFile()), grown);  // the older .old is replaced
  std::vector<std::string> lines = Lines(ReadWholeFile(LogFile()));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].ends_with("[MPV] first line of the new log")) << lines[0];
}

TEST_F(LoggerTest, LinesFromManyThreadsAreEachWhole) {
  StartLogger(folder_.path());
  constexpr int kThreads = 8;
  constexpr int kLinesEach = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kLinesEach; ++i) {
        if (i % 2 == 0) {
          LogText("T" + std::to_string(t), "message " + std::to_string(i) + std::string(200, 'x'));
        } else {
          LogFormat(("T" + std::to_string(t)).c_str(), "message %d%s", i,
                    std::string(200, 'x').c_str());
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  StopLogger();

  std::vector<std::string> lines = Lines(ReadWholeFile(LogFile()));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesEach + 2));
  std::vector<int> next_message(kThreads, 0);
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i], match, LineFormat())) << lines[i];
    int thread = std::stoi(match[1].str().substr(1));
    // Each thread's lines arrive whole and in its own order.
    EXPECT_EQ(match[2],
              "message " + std::to_string(next_message[thread]++) + std::string(200, 'x'));
  }
}

TEST_F(LoggerTest, Utf8TextIsWrittenUnchanged) {
  StartLogger(folder_.path());
  const std::string message = "Lecture de « Été » — Ça marche, 日本語, 🎵";
  LogText("MPV", message);
  std::vector<std::string> lines = Lines(ReadWholeFile(LogFile()));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[1].ends_with("[MPV] " + message)) << lines[1];
}

TEST_F(LoggerTest, LineBreaksInsideAMessageDoNotStartNewLines) {
  StartLogger(folder_.path());
  LogText("MPV", "first\r\nsecond\nthird");
  std::vector<std::string> lines = Lines(ReadWholeFile(LogFile()));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[1].ends_with("[MPV] first  second third")) << lines[1];
}

TEST_F(LoggerTest, LogFormatCutsLongResultsToItsBufferKeepingWholeCharacters) {
  StartLogger(folder_.path());
  struct Case {
    std::string argument;
    std::string expected_message;
  };
  const Case cases[] = {
      {"short 42", "short 42"},
      {std::string(5000, 'x'), std::string(2047, 'x')},
      // "é" is two bytes: the cut would fall inside the 1024th, so it is left out.
      {[] {
         std::string text;
         for (int i = 0; i < 2000; ++i) text += "é";
         return text;
       }(),
       [] {
         std::string text;
         for (int i = 0; i < 1023; ++i) text += "é";
         return text;
       }()},
  };
  for (const Case& c : cases) LogFormat("FMT", "%s", c.argument.c_str());

  std::vector<std::string> lines = Lines(ReadWholeFile(LogFile()));
  ASSERT_EQ(lines.size(), 1 + std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[i + 1], match, LineFormat()));
    EXPECT_EQ(match[2].str(), cases[i].expected_message) << "case " << i;
    EXPECT_TRUE(IsValidUtf8(match[2].str()));
  }
}

TEST_F(LoggerTest, UnwritableFolderIsIgnoredSilently) {
  std::filesystem::path blocker = folder_.Write("not-a-folder", "file");
  StartLogger(blocker);  // the log would have to live inside a plain file
  LogText("MPV", "nowhere to go");
  StopLogger();
  EXPECT_FALSE(std::filesystem::exists(blocker / "kestrel.log"));
}

}  // namespace
}  // namespace kestrel
