// The playlist manager as Orca finds it: the real program on a real X server, with the desktop's
// accessibility bus, read from outside over D-Bus. Proves what the in-process accessibility
// tests cannot: that the dialog, its list and the list's rows actually reach the bus with the
// roles, names and selection a screen reader announces.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/atspi_client.h"
#include "app/main_window_fixture.h"
#include "audio/wav_writer.h"
#include "app/x_tools.h"
#include "support/temp_folder.h"

namespace kestrel::test {
namespace {

using ::testing::ElementsAreArray;
using ::testing::UnorderedElementsAre;

// Long enough that the first item is still the one playing when the dialog opens.
constexpr int kTrackSeconds = 30;
constexpr int kTrackRate = 8000;

// The program D-Bus starts when someone asks for the accessibility bus, read from the service
// file D-Bus itself reads; empty when no such service is installed.
QString AccessibilityBusLauncher() {
  QStringList data_dirs = qEnvironmentVariable("XDG_DATA_DIRS").split(':', Qt::SkipEmptyParts);
  if (data_dirs.isEmpty()) data_dirs = {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")};
  for (const QString& dir : data_dirs) {
    QFile service(dir + QStringLiteral("/dbus-1/services/org.a11y.Bus.service"));
    if (!service.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
    while (!service.atEnd()) {
      const QString line = QString::fromUtf8(service.readLine()).trimmed();
      if (!line.startsWith(QStringLiteral("Exec="))) continue;
      const QString program = line.mid(5).section(' ', 0, 0);
      if (QFileInfo(program).isExecutable()) return program;
    }
  }
  return {};
}

// What this test needs that the machine lacks, or nothing.
std::string MissingTools() {
  QStringList missing;
  for (const char* tool : {"Xvfb", "xdotool", "dbus-daemon"}) {
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) missing << QString::fromLatin1(tool);
  }
  if (AccessibilityBusLauncher().isEmpty()) missing << QStringLiteral("at-spi-bus-launcher (at-spi2-core)");
  return missing.join(QStringLiteral(", ")).toStdString();
}

// A child process leading a process group of its own, so that ending it ends whatever it
// started too (the services D-Bus activates, for one). The kernel kills the leader should the
// test process die first, and the object ends the whole group when it goes.
class GroupProcess {
 public:
  GroupProcess() {
    process_.setChildProcessModifier([] {
      ::setpgid(0, 0);
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
  }
  ~GroupProcess() { Stop(); }
  GroupProcess(const GroupProcess&) = delete;
  GroupProcess& operator=(const GroupProcess&) = delete;

  bool Start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment) {
    process_.setProcessEnvironment(environment);
    process_.start(program, arguments);
    if (!process_.waitForStarted(10000)) return false;
    group_ = static_cast<pid_t>(process_.processId());
    return true;
  }

  // The first line the process writes to its standard output, or nothing by the deadline.
  std::optional<QString> FirstLine(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!process_.canReadLine()) {
      if (deadline.hasExpired() || !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        if (!process_.canReadLine()) return std::nullopt;
      }
    }
    return QString::fromUtf8(process_.readLine()).trimmed();
  }

  // Asks the leader alone to end, as a user's session would; true when it ended with status 0.
  bool Terminate(int milliseconds) {
    if (group_ <= 0) return false;
    ::kill(group_, SIGTERM);
    return process_.waitForFinished(milliseconds) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
  }

  // Ends the whole group: politely, then for certain.
  void Stop() {
    if (group_ <= 0) return;
    ::kill(-group_, SIGTERM);
    process_.waitForFinished(5000);
    ::kill(-group_, SIGKILL);  // anything of the group that is still there
    process_.waitForFinished(5000);
    group_ = 0;
  }

  QProcess& process() { return process_; }

 private:
  QProcess process_;
  pid_t group_ = 0;
};

// Half a minute of silence, a file the player really opens.
std::string WriteSilence(const std::filesystem::path& path) {
  audio::WavWriter writer;
  const std::vector<float> samples(static_cast<std::size_t>(kTrackRate) * kTrackSeconds, 0.0f);
  writer.Open(path.string(), kTrackRate, 1);
  writer.Write(samples.data(), static_cast<std::int64_t>(samples.size()));
  writer.Close();
  return path.string();
}

// "31 \"Playlist\"": a role and a name, as a screen reader gets them, for readable failures.
std::string Control(unsigned role, const QString& name) {
  return std::to_string(role) + " \"" + name.toStdString() + "\"";
}

std::string Describe(const AccessibleNode& node) { return Control(node.role, node.name); }

class AtspiPlaylistManager : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = MissingTools(); !missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    std::filesystem::create_directories(runtime_dir());
    std::filesystem::permissions(runtime_dir(), std::filesystem::perms::owner_all);
    ASSERT_NO_FATAL_FAILURE(StartXServer());
    ASSERT_NO_FATAL_FAILURE(StartSessionBus());
  }

  void TearDown() override {
    // The player first, then the buses it is connected to, then the display it draws on.
    kestrel_.Stop();
    QDBusConnection::disconnectFromBus(kAccessibilityConnection);
    QDBusConnection::disconnectFromBus(kSessionConnection);
    session_bus_.Stop();
    xvfb_.Stop();
  }

  std::filesystem::path runtime_dir() const { return home_.path() / "runtime"; }

  // Every child sees the test's own display, session bus and folders, and nothing of a desktop
  // the test may be running in.
  QProcessEnvironment Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"AT_SPI_BUS_ADDRESS", "SESSION_MANAGER", "WAYLAND_DISPLAY", "XAUTHORITY"}) {
      environment.remove(QString::fromLatin1(name));
    }
    environment.insert("DISPLAY", display_);
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_dir().string()));
    environment.insert("GSETTINGS_BACKEND", "memory");
    if (!session_address_.isEmpty()) environment.insert("DBUS_SESSION_BUS_ADDRESS", session_address_);
    return environment;
  }

  void StartXServer() {
    // Xvfb picks a free display itself and says which: no race with suites running beside us.
    ASSERT_TRUE(xvfb_.Start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"},
                            QProcessEnvironment::systemEnvironment()));
    const auto number = xvfb_.FirstLine(20000);
    ASSERT_TRUE(number && !number->isEmpty()) << "Xvfb did not report its display";
    display_ = QStringLiteral(":") + *number;
  }

  void StartSessionBus() {
    ASSERT_TRUE(session_bus_.Start("dbus-daemon", {"--session", "--nofork", "--print-address=1"}, Environment()));
    const auto address = session_bus_.FirstLine(20000);
    ASSERT_TRUE(address && !address->isEmpty()) << "dbus-daemon did not report its address";
    session_address_ = *address;
  }

  void StartKestrel(const std::vector<std::string>& files) {
    // The desktop's D-Bus library keeps a buffer for the life of the process.
    const auto suppressions = home_.Write("lsan.supp", "leak:libdbus-1.so\n");
    QProcessEnvironment environment = Environment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    environment.insert("KESTREL_HOME", QString::fromStdString((home_.path() / "kestrel").string()));
    environment.insert("XDG_STATE_HOME", QString::fromStdString((home_.path() / "state").string()));
    environment.insert("KESTREL_AUDIO", "null");
    environment.insert("KESTREL_SPEECH", QString::fromStdString("file:" + (home_.path() / "speech.txt").string()));
    environment.insert("LSAN_OPTIONS", QString::fromStdString("suppressions=" + suppressions.string()));
    kestrel_.process().setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments;
    for (const std::string& file : files) arguments << QString::fromStdString(file);
    ASSERT_TRUE(kestrel_.Start(QStringLiteral(KESTREL_BINARY), arguments, environment));
  }

  // Asks the session bus where the accessibility bus is (starting it, as a desktop session
  // does) and connects to it as a screen reader would.
  std::optional<AtspiClient> ConnectToAccessibilityBus(const QDeadlineTimer& deadline) {
    QDBusConnection session = QDBusConnection::connectToBus(session_address_, kSessionConnection);
    if (!session.isConnected()) return std::nullopt;
    while (!deadline.hasExpired()) {
      const QDBusMessage reply = session.call(
          QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"),
          QDBus::Block, 10000);
      if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == QLatin1String("s")) {
        QDBusConnection bus = QDBusConnection::connectToBus(reply.arguments().at(0).toString(),
                                                            kAccessibilityConnection);
        if (bus.isConnected()) return AtspiClient(bus);
        QDBusConnection::disconnectFromBus(kAccessibilityConnection);
      }
      RunEventLoopFor(200);
    }
    return std::nullopt;
  }

  // Polls the registry until the application shows up, or the deadline passes.
  static std::optional<AccessibleRef> WaitForApplication(const AtspiClient& client, const QDeadlineTimer& deadline) {
    for (;;) {
      if (auto app = client.FindChild(AtspiClient::Desktop(), kRoleApplication, "Kestrel")) return app;
      if (deadline.hasExpired()) return std::nullopt;
      RunEventLoopFor(200);
    }
  }

  // Gives the main window the keyboard and presses a key there, as the user would; false while
  // there is no such window to press it in.
  bool PressInMainWindow(const QString& key) {
    const std::string windows = RunTool("xdotool", {"search", "--onlyvisible", "--name", "^Kestrel"}, display_);
    if (windows.empty()) return false;
    const QString id = QString::fromStdString(windows).split('\n').first();
    RunTool("xdotool", {"windowfocus", "--sync", id}, display_);
    RunTool("xdotool", {"key", "--clearmodifiers", key}, display_);
    return true;
  }

  static constexpr const char* kSessionConnection = "atspi-test-session";
  static constexpr const char* kAccessibilityConnection = "atspi-test-accessibility";

  TempFolder home_;
  QString display_;
  QString session_address_;
  // Declared in starting order; TearDown ends them in the reverse one.
  GroupProcess xvfb_;
  GroupProcess session_bus_;
  GroupProcess kestrel_;
};

TEST_F(AtspiPlaylistManager, ListAndItsRowsReachTheAccessibilityBusNamedAndSelected) {
  TempFolder media;
  const std::vector<std::string> names = {"one.wav", "two.wav", "Café au lait.wav", "four.wav", "five.wav"};
  std::vector<std::string> files;
  for (const std::string& name : names) files.push_back(WriteSilence(media.path() / name));
  ASSERT_NO_FATAL_FAILURE(StartKestrel(files));

  auto client = ConnectToAccessibilityBus(QDeadlineTimer(20000));
  ASSERT_TRUE(client) << "no accessibility bus on the session bus";
  const auto app = WaitForApplication(*client, QDeadlineTimer(40000));
  ASSERT_TRUE(app) << "Kestrel never registered with the accessibility registry";

  // Ctrl+P in the main window, pressed again should the window not have taken it (a key that
  // arrives before the window takes keys is lost).
  std::optional<AccessibleRef> dialog;
  const QDeadlineTimer give_up(30000);
  while (!dialog && !give_up.hasExpired()) {
    if (!PressInMainWindow("ctrl+p")) {  // the window is not mapped yet
      RunEventLoopFor(200);
      continue;
    }
    const QDeadlineTimer retry(10000);
    while (!(dialog = client->FindChild(*app, kRoleDialog, "Playlist Manager")) && !retry.hasExpired()) {
      RunEventLoopFor(200);
    }
  }
  ASSERT_TRUE(dialog) << "no dialog named \"Playlist Manager\" on the bus after Ctrl+P";

  // The rows are filled before the dialog shows, but the bus is read while the program runs:
  // read again until the whole list is there.
  std::optional<AccessibleNode> tree;
  const QDeadlineTimer filled(10000);
  for (;;) {
    tree = client->Read(*dialog, 2);
    const bool complete = tree && std::any_of(tree->children.begin(), tree->children.end(), [&](const auto& child) {
      return child.role == kRoleList && child.children.size() >= names.size();
    });
    if (complete || filled.hasExpired()) break;
    RunEventLoopFor(200);
  }
  ASSERT_TRUE(tree) << "the dialog went away while it was read";
  EXPECT_TRUE(tree->states.test(kStateShowing));

  // Every control of the dialog is there with its role and a name a screen reader can say
  // (the button's mnemonic marker is not part of its name).
  std::vector<std::string> controls;
  for (const AccessibleNode& child : tree->children) controls.push_back(Describe(child));
  const QString help = "Alt+Up/Down: Move  |  Delete: Remove  |  Enter: Play  |  Ctrl+V: Paste  |  Esc: Close";
  EXPECT_THAT(controls, UnorderedElementsAre(Control(kRoleList, "Playlist"), Control(kRolePushButton, "Save..."),
                                             Control(kRoleLabel, help)));

  const auto list = std::find_if(tree->children.begin(), tree->children.end(),
                                 [](const AccessibleNode& child) { return child.role == kRoleList; });
  ASSERT_NE(list, tree->children.end()) << "the dialog has no list";
  EXPECT_TRUE(list->states.test(kStateFocused)) << "the keyboard is not in the list when the dialog opens";

  // One row per item, in playlist order, named as the dialog shows it (UTF-8 intact); the
  // playing item is the selected row and the one with the focus.
  std::vector<std::string> rows;
  for (const AccessibleNode& row : list->children) rows.push_back(Describe(row));
  EXPECT_THAT(rows, ElementsAreArray({Control(kRoleListItem, "1. one.wav"), Control(kRoleListItem, "2. two.wav"),
                                      Control(kRoleListItem, "3. Café au lait.wav"),
                                      Control(kRoleListItem, "4. four.wav"), Control(kRoleListItem, "5. five.wav")}));
  for (std::size_t i = 0; i < list->children.size(); ++i) {
    const auto& states = list->children[i].states;
    EXPECT_TRUE(states.test(kStateSelectable)) << "row " << i;
    EXPECT_EQ(states.test(kStateSelected), i == 0) << "row " << i;
    EXPECT_EQ(states.test(kStateFocused), i == 0) << "row " << i;
  }

  EXPECT_TRUE(kestrel_.Terminate(20000)) << "Kestrel did not end cleanly on SIGTERM with the dialog open";
}

}  // namespace
}  // namespace kestrel::test
