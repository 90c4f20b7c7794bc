// A second start of the real program against this test process acting as the running player.
#include <gtest/gtest.h>

#include <QLocalServer>
#include <QProcess>
#include <QProcessEnvironment>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>

#include "app/instance_channel.h"
#include "app/main_window_fixture.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

class SingleInstanceTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(server.Listen());
    server.SetFrameHandler([this](const HandOverFrame& frame) {
      frames.push_back(frame);
      window->OnHandOver(frame);
    });
  }

  // Starts the program with these arguments and its own settings folder; the event loop keeps
  // running meanwhile, so this process answers the hand-over as a running player would.
  QProcess* Start(const QStringList& arguments, const std::filesystem::path& home) {
    auto* process = new QProcess(window.get());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KESTREL_HOME", QString::fromStdString(home.string()));
    environment.insert("KESTREL_SPEECH", QString::fromStdString("file:" + (home / "speech.txt").string()));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QStringLiteral(KESTREL_BINARY), arguments);
    EXPECT_TRUE(process->waitForStarted(10000));
    return process;
  }

  // Waits (running the event loop) until the process ends; returns its exit code or -1.
  int WaitForExit(QProcess* process, int timeout_ms = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (process->state() != QProcess::NotRunning && clock.elapsed() < timeout_ms) RunEventLoopFor(20);
    if (process->state() != QProcess::NotRunning) return -1;
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  }

  InstanceServer server;
  std::vector<HandOverFrame> frames;
  TempFolder folder;
};

TEST_F(SingleInstanceTest, SecondStartHandsItsExistingPathsOverAndEnds) {
  const auto a = folder.Write("a.mp3", "x"), b = folder.Write("b.flac", "x"), c = folder.Write("c d.ogg", "x");
  QProcess* second = Start({QString::fromStdString(a.string()), QString::fromStdString((folder.path() / "missing.mp3").string()),
                            QString::fromStdString(b.string()), QString::fromStdString(c.string())},
                           folder.path() / "second");
  EXPECT_EQ(WaitForExit(second), 0);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].code, kHandOverFirstPath);
  EXPECT_EQ(frames[1].code, kHandOverFurtherPath);
  EXPECT_EQ(frames[2].code, kHandOverFurtherPath);
  EXPECT_EQ(frames[2].path, c.string());
  RunEventLoopFor(400);
  EXPECT_EQ(ThePlaylist().items, (std::vector<std::string>{a.string(), b.string(), c.string()}));
}

TEST_F(SingleInstanceTest, StartWithoutArgumentsRaisesTheHiddenPlayer) {
  window->hide();
  QProcess* second = Start({}, folder.path() / "second");
  EXPECT_EQ(WaitForExit(second), 0);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].code, kHandOverToFront);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(SingleInstanceTest, MultipleInstancesOpenAFurtherPlayerButStillHandFilesOver) {
  const auto home = folder.path() / "multi";
  std::filesystem::create_directories(home);
  std::ofstream(home / "Kestrel.ini") << "[Playback]\nAllowMultipleInstances=1\n";

  QProcess* further = Start({}, home);
  RunEventLoopFor(2500);
  EXPECT_EQ(further->state(), QProcess::Running) << "a start without files opens a second player";
  EXPECT_TRUE(frames.empty());
  ::kill(static_cast<pid_t>(further->processId()), SIGTERM);
  EXPECT_EQ(WaitForExit(further), 0) << "SIGTERM ends it through the normal shutdown";
  const std::string settings = ReadWholeFile(home / "Kestrel.ini");
  EXPECT_NE(settings.find("AllowMultipleInstances=1"), std::string::npos);
  EXPECT_NE(settings.find("Shuffle=0"), std::string::npos) << "the shutdown saved the settings";

  const auto file = folder.Write("e.wav", "x");
  QProcess* with_file = Start({QString::fromStdString(file.string())}, home);
  EXPECT_EQ(WaitForExit(with_file), 0);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].path, file.string());
}

TEST(InstanceServer, TakesOverASocketLeftByAPlayerThatEnded) {
  TempFolder runtime;
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path().string()));
  // A socket file nobody listens on, as a player that crashed leaves it.
  const std::string path = InstanceServerName().toStdString();
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(stale);
  ASSERT_TRUE(std::filesystem::exists(path));

  EXPECT_EQ(HandOverToRunningPlayer({}, 500), HandOverResult::kNoPlayer);
  InstanceServer server;
  EXPECT_TRUE(server.Listen());
  InstanceServer second;
  EXPECT_FALSE(second.Listen()) << "a live player keeps its name";
  qputenv("XDG_RUNTIME_DIR", saved);
}

}  // namespace
}  // namespace kestrel::test
