// The session through two runs of the real program: what one run saves at exit, the next
// restores at start.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <fstream>

#include "app/main_window_fixture.h"
#include "audio/wav_writer.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

class SessionRestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) tracks_.push_back(WriteTone(home_.path() / name, 130));
  }

  // A quiet 8 kHz tone long enough to hold a position past two minutes.
  static std::string WriteTone(const std::filesystem::path& path, int seconds) {
    audio::WavWriter writer;
    std::vector<float> block(8000, 0.01f);
    writer.Open(path.string(), 8000, 1);
    for (int i = 0; i < seconds; ++i) writer.Write(block.data(), 8000);
    writer.Close();
    return path.string();
  }

  void WriteSettings(const std::string& text) { std::ofstream(home_.path() / "Kestrel.ini") << text; }
  std::string Settings() const { return ReadWholeFile(home_.path() / "Kestrel.ini"); }

  // Runs the program with these arguments until it is up and playing, then ends it as a desktop
  // logout would. Returns its exit code.
  int RunOnce(const QStringList& arguments) {
    QProcess kestrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KESTREL_HOME", QString::fromStdString(home_.path().string()));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home_.path().string()));
    environment.insert("XDG_STATE_HOME", QString::fromStdString((home_.path() / "state").string()));
    environment.insert("KESTREL_SPEECH", QString::fromStdString("file:" + (home_.path() / "speech.txt").string()));
    kestrel.setProcessEnvironment(environment);
    kestrel.setProcessChannelMode(QProcess::ForwardedChannels);
    kestrel.start(QStringLiteral(KESTREL_BINARY), arguments);
    if (!kestrel.waitForStarted(10000)) return -1;
    // The log says when the window has come up and opened its first item.
    const auto log = home_.path() / "state" / "Kestrel" / "kestrel.log";
    for (int i = 0; i < 200 && ReadWholeFile(log).find("[PENDING] StartUpdateCheck") == std::string::npos; ++i) {
      RunEventLoopFor(50);
    }
    RunEventLoopFor(300);
    ::kill(static_cast<pid_t>(kestrel.processId()), SIGTERM);
    if (!kestrel.waitForFinished(20000)) return -1;
    return kestrel.exitStatus() == QProcess::NormalExit ? kestrel.exitCode() : -1;
  }

  TempFolder home_;
  std::vector<std::string> tracks_;
};

TEST_F(SessionRestoreTest, TheSavedSessionIsRestoredAndSavedAgainAtExit) {
  WriteSettings("[Playback]\nRememberState=1\n[State]\nTrackCount=3\nCurrentTrack=1\nLastFile=" + tracks_[1] +
                "\nLastPosition=125.50\n[Playlist]\nTrack0=" + tracks_[0] + "\nTrack1=" + tracks_[1] +
                "\nTrack2=" + tracks_[2] + "\n");
  ASSERT_EQ(RunOnce({}), 0);
  const std::string saved = Settings();
  EXPECT_NE(saved.find("TrackCount=3"), std::string::npos) << saved;
  EXPECT_NE(saved.find("CurrentTrack=1"), std::string::npos) << saved;
  EXPECT_NE(saved.find("LastFile=" + tracks_[1]), std::string::npos) << saved;
  const auto at = saved.find("LastPosition=");
  ASSERT_NE(at, std::string::npos);
  EXPECT_GE(std::stod(saved.substr(at + 13)), 125.5) << "restored at its position, then played on";
}

TEST_F(SessionRestoreTest, FilesOnTheCommandLineReplaceTheSavedSession) {
  WriteSettings("[Playback]\nRememberState=1\n[State]\nTrackCount=1\nCurrentTrack=0\nLastFile=" + tracks_[0] +
                "\nLastPosition=10\n[Playlist]\nTrack0=" + tracks_[0] + "\n");
  ASSERT_EQ(RunOnce({QString::fromStdString(tracks_[1]), QString::fromStdString(tracks_[2])}), 0);
  const std::string saved = Settings();
  EXPECT_NE(saved.find("TrackCount=2"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Track0=" + tracks_[1]), std::string::npos) << saved;
  EXPECT_NE(saved.find("CurrentTrack=0"), std::string::npos) << saved;
}

TEST_F(SessionRestoreTest, ARememberedPositionOutlivesTheRunThatSavedIt) {
  // Run 1 restores a session at 100 s and, leaving, remembers the item's position in the
  // database. Run 2 opens the same file from the command line, which starts at 0 unless the
  // remembered position is restored; leaving, it writes where it was into the session.
  WriteSettings("[Playback]\nRememberState=1\nRememberPosMinutes=1\n[State]\nTrackCount=1\nCurrentTrack=0\nLastFile=" +
                tracks_[0] + "\nLastPosition=100\n[Playlist]\nTrack0=" + tracks_[0] + "\n");
  ASSERT_EQ(RunOnce({}), 0);
  ASSERT_EQ(RunOnce({QString::fromStdString(tracks_[0])}), 0);
  const std::string saved = Settings();
  const auto at = saved.find("LastPosition=");
  ASSERT_NE(at, std::string::npos) << saved;
  EXPECT_GE(std::stod(saved.substr(at + 13)), 100.0) << saved;
}

TEST_F(SessionRestoreTest, WithoutRememberStateTheSessionIsForgotten) {
  WriteSettings("[Playback]\nRememberState=0\n[State]\nTrackCount=1\nCurrentTrack=0\nLastFile=" + tracks_[0] +
                "\nLastPosition=10\n[Playlist]\nTrack0=" + tracks_[0] + "\n");
  ASSERT_EQ(RunOnce({}), 0);
  const std::string saved = Settings();
  EXPECT_EQ(saved.find("Track0="), std::string::npos) << saved;
  EXPECT_NE(saved.find("TrackCount=0"), std::string::npos) << saved;
}

}  // namespace
}  // namespace kestrel::test
