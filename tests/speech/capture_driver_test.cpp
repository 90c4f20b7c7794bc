#include "speech/capture_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "speech_test_fixture.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

TEST(CaptureTarget, ParsesStdoutAndFileValuesOnly) {
  auto to_stdout = ParseCaptureTarget("stdout");
  ASSERT_TRUE(to_stdout);
  EXPECT_TRUE(to_stdout->to_stdout);

  auto to_file = ParseCaptureTarget("file:/tmp/spoken words.txt");
  ASSERT_TRUE(to_file);
  EXPECT_FALSE(to_file->to_stdout);
  EXPECT_EQ(to_file->file, std::filesystem::path("/tmp/spoken words.txt"));

  for (const char* value : {"", "file:", "STDOUT", "speech-dispatcher", "file"}) {
    EXPECT_FALSE(ParseCaptureTarget(value)) << value;
  }
}

TEST(CaptureDriver, WritesEachUtteranceAsOneLineToStandardOutput) {
  auto driver = MakeCaptureDriver({true, {}});
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(driver->Output("Volume 50%", true));
  EXPECT_TRUE(driver->Silence());
  EXPECT_TRUE(driver->Output("two\r\nlines", false));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Volume 50%\ntwo  lines\n");
}

TEST(CaptureDriver, AnUnwritableFileIsAFailedOutput) {
  TempFolder folder;
  auto driver = MakeCaptureDriver({false, folder.path() / "missing-folder" / "speech.txt"});
  EXPECT_TRUE(driver->IsRunning());
  EXPECT_FALSE(driver->Output("lost", true));
}

// With KESTREL_SPEECH set before the bridge first detects, the capture driver is the only one.
class CaptureFromEnvironmentTest : public SpeechTest {
 protected:
  void SetUp() override {
    SpeechTest::SetUp();
    file_ = folder_.path() / "speech.txt";
    ::setenv("KESTREL_SPEECH", ("file:" + file_.string()).c_str(), 1);
    ResetScreenReaderDrivers();
    EnableSpeechQueue();
  }
  void TearDown() override {
    SpeechTest::TearDown();
    ::unsetenv("KESTREL_SPEECH");
  }
  TempFolder folder_;
  std::filesystem::path file_;
};

TEST_F(CaptureFromEnvironmentTest, EveryUtteranceIsAppendedAsOneLine) {
  Speak("Playing");
  Speak("first line\nsecond line", false);
  DrainSpeechQueue();
  Speak("Paused");
  DrainSpeechQueue();
  EXPECT_EQ(ActiveScreenReaderName(), "Capture");
  EXPECT_EQ(ReadWholeFile(file_), "Playing, first line second line\nPaused\n");
}

}  // namespace
}  // namespace kestrel::test
