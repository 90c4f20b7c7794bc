#include "app/process_start.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "app/command_line_items.h"
#include "app/instance_channel.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "app/pending_steps.h"
#include "app/screen_reader_probe.h"
#include "app/termination_signals.h"
#include "diag/logger.h"
#include "i18n/translate.h"
#include "playlist/playback_state.h"
#include "playlist/playlist.h"
#include "speech/speech.h"
#include "storage/hotkey_store.h"
#include "storage/settings.h"
#include "ui/message_box.h"
#include "ui/ui_wait_loop.h"

namespace kestrel {
namespace {

// Without a display (a terminal, a service, CI) the window lives on the offscreen platform.
void UseOffscreenWithoutDisplay() {
  const auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return !value || !*value;
  };
  if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
}

// Returns the exit code when this process handed its command line over and should end.
bool HandOverIfAPlayerRuns(const std::vector<std::string>& items, bool allow_multiple, InstanceServer& server) {
  if (allow_multiple && items.empty()) {
    server.Listen();  // a further player; it serves hand-overs only if no other player does
    return false;
  }
  switch (HandOverToRunningPlayer(items)) {
    case HandOverResult::kHandedOver:
      return true;
    case HandOverResult::kNoPlayer:
      server.Listen();
      return false;
    case HandOverResult::kNoAnswer:
      LogText("INSTANCE", "the running player does not answer; starting a further player");
      return false;
  }
  return false;
}

}  // namespace

int RunKestrel(int argc, char** argv) {
  UseOffscreenWithoutDisplay();
  QApplication app(argc, argv);  // takes Qt's own options out of argv
  std::setlocale(LC_NUMERIC, "C");  // numbers in files and libmpv are always written with a point
  QApplication::setQuitOnLastWindowClosed(false);  // hiding to the tray must not end the player
  QApplication::setApplicationName(QStringLiteral("Kestrel"));

  StartLogger();
  const bool allow_multiple = ReadAllowMultipleInstances();
  const std::vector<std::string> items = CommandLineItems(argc, argv);
  InstanceServer server;
  if (HandOverIfAPlayerRuns(items, allow_multiple, server)) {
    StopLogger();
    return 0;
  }

  RegisterAllTranslations();
  LoadSettings();
  if (TheSettings().register_file_types) pending::RegisterAllFileTypes();
  LoadHotkeys();
  pending::TidyYouTubeState();
  Playlist& playlist = ThePlaylist();
  for (const std::string& item : items) {
    for (std::string& entry : ExpandItem(item)) playlist.items.push_back(std::move(entry));
  }

  SetScreenReaderEnabledProbe(DesktopReportsScreenReader);
  InstallQtUiWaitLoop();  // connecting to a stream never freezes the window
  MainWindow window;
  if (!window.Create()) {
    ShowMessageBox(nullptr, {Translate("Failed to create window."), "Kestrel", MessageIcon::Error});
    window.AbandonCreation();
    StopLogger();
    return 1;
  }
  app.installEventFilter(new KeyRouter(window));
  server.SetFrameHandler([&window](const HandOverFrame& frame) { window.OnHandOver(frame); });
  RouteTerminationSignals(&window, [&window] { window.close(); });

  window.show();
  if (playlist.items.empty()) LoadPlaybackState();
  return QApplication::exec();
}

}  // namespace kestrel
