// The real program on a real X server: keys typed through XTEST reach the commands of their
// physical position. Checks what the offscreen tests cannot: that the native scan codes the X
// server reports are read as the program expects. (Xvfb keeps its US keymap whatever setxkbmap
// asks, so other layouts are covered by the offscreen key tests, which model them.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <csignal>
#include <filesystem>
#include <regex>
#include <sstream>

#include "app/main_window_fixture.h"
#include "app/x_tools.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

bool HaveTools() {
  for (const char* tool : {"Xvfb", "xdotool"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return false;
  }
  return true;
}

class X11Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTools()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    // A display number of our own: the lock file tells which ones are taken.
    for (int number = 100 + getpid() % 400;; ++number) {
      if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
        display_ = QStringLiteral(":%1").arg(number);
        break;
      }
    }
    xvfb_.start(QStringLiteral("Xvfb"), {display_, "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    ASSERT_TRUE(xvfb_.waitForStarted(5000));
    const std::string socket = "/tmp/.X11-unix/X" + display_.mid(1).toStdString();
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) RunEventLoopFor(50);
    ASSERT_TRUE(std::filesystem::exists(socket)) << "Xvfb did not start";
  }

  void TearDown() override {
    if (xvfb_.state() != QProcess::NotRunning) {
      xvfb_.terminate();
      xvfb_.waitForFinished(5000);
    }
  }

  // Starts Kestrel, types the keys, ends it and returns the ids of the commands it logged as not
  // built yet, in order, and what it spoke.
  std::pair<std::vector<int>, std::vector<std::string>> Type(const QStringList& keys) {
    TempFolder home;
    // The desktop's D-Bus library keeps a buffer for the life of the process.
    const auto suppressions = home.Write("lsan.supp", "leak:libdbus-1.so\n");
    QProcess kestrel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("KESTREL_HOME", QString::fromStdString(home.path().string()));
    environment.insert("XDG_STATE_HOME", QString::fromStdString((home.path() / "state").string()));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.path().string()));
    environment.insert("KESTREL_SPEECH", QString::fromStdString("file:" + (home.path() / "speech.txt").string()));
    environment.insert("LSAN_OPTIONS", QString::fromStdString("suppressions=" + suppressions.string()));
    kestrel.setProcessEnvironment(environment);
    kestrel.setProcessChannelMode(QProcess::ForwardedChannels);
    kestrel.start(QStringLiteral(KESTREL_BINARY), {});
    EXPECT_TRUE(kestrel.waitForStarted(10000));

    // The shown main window only: Qt also makes hidden windows of its own early in the start,
    // and keys sent to one of those would be lost.
    std::string window;
    for (int i = 0; i < 100 && window.empty(); ++i) {
      window = RunTool("xdotool", {"search", "--onlyvisible", "--name", "^Kestrel$"}, display_);
      if (window.empty()) RunEventLoopFor(100);
    }
    EXPECT_FALSE(window.empty()) << "the Kestrel window did not appear";
    const QString id = QString::fromStdString(window).split('\n').first();
    // Keys go where the focus is: wait until the window holds it.
    for (int i = 0; i < 50; ++i) {
      RunTool("xdotool", {"windowfocus", "--sync", id}, display_);
      if (QString::fromStdString(RunTool("xdotool", {"getwindowfocus"}, display_)).trimmed() == id) break;
      RunEventLoopFor(100);
    }
    for (const QString& key : keys) {
      RunTool("xdotool", {"key", "--clearmodifiers", key}, display_);
      RunEventLoopFor(100);
    }
    ::kill(static_cast<pid_t>(kestrel.processId()), SIGTERM);
    EXPECT_TRUE(kestrel.waitForFinished(20000));
    EXPECT_EQ(kestrel.exitCode(), 0);

    std::vector<int> commands;
    const std::string log = ReadWholeFile(home.path() / "state" / "Kestrel" / "kestrel.log");
    const std::regex command_line(R"(\[COMMAND\] (\d+) )");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), command_line); it != std::sregex_iterator(); ++it) {
      commands.push_back(std::stoi((*it)[1]));
    }
    std::vector<std::string> spoken;
    std::istringstream speech(ReadWholeFile(home.path() / "speech.txt"));
    for (std::string line; std::getline(speech, line);) spoken.push_back(line);
    return {commands, spoken};
  }

  QString display_;
  QProcess xvfb_;
};

TEST_F(X11Keyboard, KeysReachTheBindingsOfTheirPhysicalPosition) {
  // H runs (shuffle answers), F12 runs; in keyboard help every other key says what it is bound
  // to: position keys, an accelerator by letter, the digit row plain, with Shift and with Ctrl,
  // and a position key with a modifier, which is bound to nothing.
  const auto [commands, spoken] =
      Type({"h", "h", "F12", "z", "a", "1", "shift+1", "ctrl+2", "ctrl+o", "shift+z", "period", "shift", "F12"});
  EXPECT_EQ(spoken, (std::vector<std::string>{
                        "Shuffle on", "Shuffle off", "Keyboard help on", "Z : Previous track",
                        "A : Audio device menu", "1 : Speak title tag", "Shift+1 : Show title in window",
                        "Ctrl+2 : Toggle Pitch", "Ctrl+O : Open file", "Shift+Z : no action assigned",
                        ". : Increase seek unit", "Keyboard help off"}));
}

}  // namespace
}  // namespace kestrel::test
