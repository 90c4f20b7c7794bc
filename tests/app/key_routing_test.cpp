#include <gtest/gtest.h>

#include <QDialog>
#include <QMenu>
#include <QMenuBar>

#include "app/command_ids.h"
#include "app/key_tables.h"
#include "app/keyboard_layouts.h"
#include "app/main_window_fixture.h"

namespace kestrel::test {
namespace {

// Routing only: the commands are recorded, not run (the device menu, for one, would wait for a
// choice). Keyboard help (F12) still runs, being the shell's own.
class KeyRoutingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    SetCommandObserverForTesting([this](int id, std::int64_t) {
      commands.push_back(id);
      return id != cmd::kKeyboardHelp;
    });
  }

  // Sends the press to the window and returns the commands it produced.
  std::vector<int> Press(std::unique_ptr<QKeyEvent> event) {
    commands.clear();
    QApplication::sendEvent(window.get(), event.get());
    Settle();
    return commands;
  }
};

constexpr Layout kLayouts[] = {Layout::kUsQwerty, Layout::kFrenchAzerty};

TEST_F(KeyRoutingTest, EveryAcceleratorReachesItsCommandOnUsAndFrenchLayouts) {
  EXPECT_EQ(Accelerators().size(), 65u);
  for (Layout layout : kLayouts) {
    for (const AcceleratorRow& row : Accelerators()) {
      auto event = row.scan_code ? PhysicalKeyPress(layout, row.scan_code, row.modifiers)
                                 : KeyPressFor(layout, row.qt_key, row.modifiers);
      ASSERT_TRUE(event) << LayoutName(layout) << " has no key for command " << row.command;
      EXPECT_EQ(Press(std::move(event)), std::vector<int>{row.command})
          << LayoutName(layout) << ", command " << row.command;
      Shell().keyboard_help = false;  // F12 turned it on
    }
  }
}

TEST_F(KeyRoutingTest, EveryPositionKeyIsTheSamePhysicalKeyOnEveryLayout) {
  EXPECT_EQ(PositionKeys().size(), 17u);
  for (Layout layout : kLayouts) {
    for (const PositionKeyRow& row : PositionKeys()) {
      EXPECT_EQ(Press(PhysicalKeyPress(layout, row.scan_code, kNoModifier)), std::vector<int>{row.command})
          << LayoutName(layout) << ", scan code " << row.scan_code;
    }
  }
}

TEST_F(KeyRoutingTest, AzertyLettersFollowThePositionNotTheLabel) {
  const int kUsZ = 0x2C, kUsQ = 0x10, kUsA = 0x1E;
  EXPECT_EQ(Press(PhysicalKeyPress(Layout::kFrenchAzerty, kUsZ, kNoModifier)), std::vector<int>{cmd::kPrevious});
  EXPECT_TRUE(Press(PhysicalKeyPress(Layout::kFrenchAzerty, kUsQ, kNoModifier)).empty());  // labelled A
  EXPECT_EQ(Press(PhysicalKeyPress(Layout::kFrenchAzerty, kUsA, kNoModifier)),
            std::vector<int>{cmd::kAudioDeviceMenu});  // labelled Q
}

TEST_F(KeyRoutingTest, ModifiersDisableThePositionKeys) {
  const int kUsZ = 0x2C;
  for (unsigned modifiers : {unsigned(kShift), unsigned(kCtrl), unsigned(kAlt)}) {
    EXPECT_TRUE(Press(PhysicalKeyPress(Layout::kUsQwerty, kUsZ, modifiers)).empty()) << modifiers;
  }
}

TEST_F(KeyRoutingTest, F10OpensTheFirstMenu) {
  window->show();
  EXPECT_TRUE(Press(KeyPressFor(Layout::kUsQwerty, Qt::Key_F10, kNoModifier)).empty());
  QMenu* file = window->menuBar()->actions().first()->menu();
  EXPECT_TRUE(file->isVisible());
  file->close();
}

TEST_F(KeyRoutingTest, KeysOfAnOpenDialogAreLeftToTheDialog) {
  QDialog dialog(window.get());
  dialog.setModal(true);
  dialog.show();
  Settle();
  auto event = KeyPressFor(Layout::kUsQwerty, Qt::Key_O, kCtrl);
  commands.clear();
  QApplication::sendEvent(&dialog, event.get());
  Settle();
  EXPECT_TRUE(commands.empty());
  dialog.close();
}

struct HelpCase {
  const char* language;
  Layout layout;
  int qt_key;     // a named or lettered key, or 0 to use scan_code
  int scan_code;
  unsigned modifiers;
  const char* spoken;  // nullptr: nothing is spoken
};

TEST_F(KeyRoutingTest, KeyboardHelpDescribesKeysInsteadOfRunningThem) {
  EXPECT_EQ(Press(KeyPressFor(Layout::kUsQwerty, Qt::Key_F12, kNoModifier)), std::vector<int>{cmd::kKeyboardHelp});
  ASSERT_TRUE(Shell().keyboard_help);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Keyboard help on"});

  const HelpCase cases[] = {
      {"en", Layout::kUsQwerty, Qt::Key_O, 0, kCtrl, "Ctrl+O : Open file"},
      {"en", Layout::kUsQwerty, Qt::Key_Q, 0, kCtrl, "Ctrl+Q : no action assigned"},
      {"en", Layout::kUsQwerty, Qt::Key_Shift, 0, kShift, nullptr},
      {"en", Layout::kUsQwerty, Qt::Key_Control, 0, kCtrl, nullptr},
      {"en", Layout::kUsQwerty, 0, 0x02, kShift, "Shift+1 : Show title in window"},
      {"en", Layout::kFrenchAzerty, 0, 0x02, kNoModifier, "1 : Speak title tag"},
      {"en", Layout::kFrenchAzerty, 0, 0x2C, kNoModifier, "W : Previous track"},
      {"en", Layout::kUsQwerty, Qt::Key_Up, 0, kCtrl, "Ctrl+Up : Volume up"},
      {"en", Layout::kUsQwerty, Qt::Key_Space, 0, kNoModifier, "Space : Play/Pause"},
      {"fr", Layout::kFrenchAzerty, Qt::Key_Q, 0, kShift, "Maj+Q : aucune action assignée"},
  };
  for (const HelpCase& c : cases) {
    SetLanguage(c.language);
    auto event = c.qt_key ? KeyPressFor(c.layout, c.qt_key, c.modifiers) : PhysicalKeyPress(c.layout, c.scan_code, c.modifiers);
    EXPECT_TRUE(Press(std::move(event)).empty()) << "a described key must not run";
    const std::vector<std::string> expected = c.spoken ? std::vector<std::string>{c.spoken} : std::vector<std::string>{};
    EXPECT_EQ(Spoken(), expected) << (c.spoken ? c.spoken : "(silence)");
  }

  SetLanguage("fr");
  commands.clear();
  auto f12 = KeyPressFor(Layout::kFrenchAzerty, Qt::Key_F12, kNoModifier);
  QApplication::sendEvent(window.get(), f12.get());
  EXPECT_EQ(commands, std::vector<int>{cmd::kKeyboardHelp});
  EXPECT_FALSE(Shell().keyboard_help);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Aide clavier désactivée"});
}

}  // namespace
}  // namespace kestrel::test
