#include "engine/jump_to_time_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "engine/transport.h"
#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

std::string AccessibleName(QWidget& widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  return accessible ? accessible->text(QAccessible::Name).toStdString() : std::string();
}

// Every control a keyboard user can reach, by object name, with what a screen reader says for it.
std::map<std::string, std::string> FocusableControls(QDialog& dialog) {
  std::map<std::string, std::string> controls;
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (widget->focusPolicy() & Qt::TabFocus) {
      controls[widget->objectName().toStdString()] = AccessibleName(*widget);
    }
  }
  return controls;
}

void SendKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&target, &release);
}

// Types into the dialog's focused control, as a person at the keyboard would.
void Type(QDialog& dialog, const std::string& text) {
  for (const char c : text) {
    const QString character(QChar::fromLatin1(c));
    SendKey(*dialog.focusWidget(), character.toUpper().at(0).unicode(), Qt::NoModifier,
            character);
  }
}

class JumpToTimeDialogTest : public test::TransportTest {
 protected:
  // Opens the dialog as the command does; `act` runs once it is up, with the dialog.
  void RunDialog(const std::function<void(QDialog&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, &window_, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen = true;
      act(*dialog);
      if (dialog->isVisible()) dialog->reject();  // never leave the test hanging
    });
    ShowJumpToTimeDialog(&window_);
    EXPECT_TRUE(seen);
  }

  static QLineEdit& Field(QDialog& dialog) {
    auto* field = dialog.findChild<QLineEdit*>("id_661");
    EXPECT_NE(field, nullptr);
    return *field;
  }

  QMainWindow window_;
};

TEST_F(JumpToTimeDialogTest, EveryControlIsNamedForScreenReaders) {
  window_.show();
  RunDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.objectName(), "id_660");
    EXPECT_EQ(dialog.windowTitle(), "Jump to Time");
    const std::map<std::string, std::string> expected = {
        {"id_661", "Enter time (mm:ss or hh:mm:ss):"}, {"id_1", "OK"}, {"id_2", "Cancel"}};
    EXPECT_EQ(FocusableControls(dialog), expected);
    auto* label = dialog.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Enter &time (mm:ss or hh:mm:ss):");
    EXPECT_EQ(label->buddy(), &Field(dialog));
    // Nothing plays: the field opens at 0:00, all selected, with the focus.
    EXPECT_EQ(Field(dialog).text(), "0:00");
    EXPECT_EQ(Field(dialog).selectedText(), "0:00");
    ASSERT_EQ(dialog.focusWidget(), &Field(dialog));
    // Tab walks field, OK, Cancel.
    SendKey(Field(dialog), Qt::Key_Tab);
    ASSERT_NE(dialog.focusWidget(), nullptr);
    EXPECT_EQ(dialog.focusWidget()->objectName(), "id_1");
    SendKey(*dialog.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(dialog.focusWidget()->objectName(), "id_2");
  });
}

TEST_F(JumpToTimeDialogTest, OpensRelabelledInFrench) {
  SetLanguage("fr");
  RunDialog([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Aller à un instant");
    const std::map<std::string, std::string> expected = {
        {"id_661", "Saisissez l'instant (mm:ss ou hh:mm:ss) :"}, {"id_1", "OK"},
        {"id_2", "Annuler"}};
    EXPECT_EQ(FocusableControls(dialog), expected);
  });
}

TEST_F(JumpToTimeDialogTest, TypedTimesAreJumpedToAndAnythingElseChangesNothing) {
  OpenPaused(LongFile("long.flac", 5400));
  struct Case {
    const char* typed;
    int close_key;
    double expected;
  };
  const Case cases[] = {
      {"1:23:45", Qt::Key_Return, 5025},
      {"90", Qt::Key_Return, 90},
      {"1:30", Qt::Key_Enter, 90},
      {"75.5", Qt::Key_Return, 75.5},
      {"2:00:00", Qt::Key_Return, 5400},  // beyond the end: the end
      {"abc", Qt::Key_Return, 600},
      {"-5", Qt::Key_Return, 600},
      {"", Qt::Key_Return, 600},
      {"99999999999999999999", Qt::Key_Return, 5400},
      {"1:00", Qt::Key_Escape, 600},  // cancelled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    SeekTo(600);
    RunDialog([&](QDialog& dialog) {
      EXPECT_EQ(Field(dialog).text(), "10:00");
      SendKey(Field(dialog), Qt::Key_Delete);  // the selected text goes
      Type(dialog, c.typed);
      EXPECT_EQ(Field(dialog).text().toStdString(), c.typed);
      SendKey(Field(dialog), c.close_key);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_DOUBLE_EQ(Position(), c.expected);
  }
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(JumpToTimeDialogTest, TheFieldOpensWithTheHoursFromAnHourOn) {
  OpenPaused(LongFile("long.flac", 5400));
  SeekTo(3600);
  RunDialog([](QDialog& dialog) {
    EXPECT_EQ(Field(dialog).text(), "1:00:00");
    SendKey(Field(dialog), Qt::Key_Escape);
  });
  SeekTo(5025.9);
  RunDialog([](QDialog& dialog) { EXPECT_EQ(Field(dialog).text(), "1:23:45"); });
}

TEST_F(JumpToTimeDialogTest, TheOkButtonJumpsAndTheCancelButtonDoesNot) {
  OpenPaused(LongFile("long.flac", 600));
  for (const char* button : {"id_2", "id_1"}) {
    SCOPED_TRACE(button);
    SeekTo(10);
    RunDialog([&](QDialog& dialog) {
      Type(dialog, "4:05");
      auto* push = dialog.findChild<QPushButton*>(button);
      ASSERT_NE(push, nullptr);
      push->setFocus();
      SendKey(*push, Qt::Key_Space);
    });
    EXPECT_DOUBLE_EQ(Position(), std::string(button) == "id_1" ? 245.0 : 10.0);
  }
}

}  // namespace
}  // namespace kestrel
