#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/command_dispatch.h"
#include "app/key_router.h"
#include "app/main_window.h"
#include "app/pending_steps.h"
#include "app/shell_state.h"
#include "diag/logger.h"
#include "i18n/translate.h"
#include "playlist/playlist.h"
#include "storage/settings.h"
#include "support/test_environment.h"
#include "ui/desktop_opener.h"
#include "ui/message_box.h"

namespace kestrel::test {

// Runs the event loop for about this long, as the running player would.
inline void RunEventLoopFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// Lets posted messages (commands, speech) be handled.
inline void Settle() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A created main window with its key router, fresh shell state, and every outside effect
// captured: commands dispatched, documents opened, message boxes, pending steps, speech.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartLogger();
    RegisterAllTranslations();
    SetLanguage(language_);
    TheSettings() = Settings{};
    ThePlaylist() = Playlist{};
    Shell().keyboard_help = false;
    Shell().hand_over.clear();
    pending::RecordCallsForTesting(true);
    SetCommandObserverForTesting([this](int id, std::int64_t) {
      commands.push_back(id);
      return false;
    });
    SetDesktopOpenerForTesting([this](const std::filesystem::path& file) {
      opened.push_back(file);
      return open_succeeds;
    });
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes.push_back(request);
      return MessageResult::Ok;
    });
    BeforeCreate();
    window = std::make_unique<MainWindow>();
    ASSERT_TRUE(window->Create());
    qApp->installEventFilter(new KeyRouter(*window));
    Settle();
    TakeSpokenLines();
    pending::TakeRecordedCalls();
    commands.clear();
  }

  void TearDown() override {
    if (window) window->close();
    window.reset();
    Settle();
    SetCommandObserverForTesting(nullptr);
    SetDesktopOpenerForTesting(nullptr);
    SetMessageBoxHandlerForTesting(nullptr);
    pending::RecordCallsForTesting(false);
    SetLanguage("en");
  }

  // What a suite puts in place before the window is created (the command line's items).
  virtual void BeforeCreate() {}

  std::vector<std::string> Spoken() {
    Settle();
    return TakeSpokenLines();
  }

  std::string language_ = "en";
  std::unique_ptr<MainWindow> window;
  std::vector<int> commands;
  std::vector<std::filesystem::path> opened;
  bool open_succeeds = true;
  std::vector<MessageBoxRequest> boxes;
};

}  // namespace kestrel::test
