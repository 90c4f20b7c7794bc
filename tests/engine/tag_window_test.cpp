#include "engine/tag_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <string>

#include "engine/player_state.h"
#include "engine/transport_fixture.h"

namespace kestrel {
namespace {

using namespace std::string_literals;

void SendKey(QWidget& target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(&target, &release);
}

std::string AccessibleName(QWidget& widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  return accessible ? accessible->text(QAccessible::Name).toStdString() : std::string();
}

class TagWindowTest : public test::TransportTest {
 protected:
  // Opens the window as the command does; `act` runs once it is up, with the window.
  void RunWindow(TrackInfoField field, const std::function<void(QDialog&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, &main_window_, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen = true;
      act(*dialog);
      if (dialog->isVisible()) dialog->reject();  // never leave the test hanging
    });
    ShowTagWindow(&main_window_, field);
    EXPECT_TRUE(seen);
  }

  static QPlainTextEdit& Field(QDialog& dialog) {
    auto* field = dialog.findChild<QPlainTextEdit*>("id_911");
    EXPECT_NE(field, nullptr);
    return *field;
  }

  QMainWindow main_window_;
};

TEST_F(TagWindowTest, ShowsTheValueSelectedAndFocused) {
  const auto file = temp_.path() / "song.flac";
  ASSERT_TRUE(test::MakeChirpFile(file, {"-metadata", "title=Tune", "-metadata", "artist=Band"}, 1));
  ThePlaylist().items = {file.string()};
  ThePlaylist().current_index = 0;
  OpenPaused(file.string());

  RunWindow(TrackInfoField::kTitle, [](QDialog& dialog) {
    EXPECT_EQ(dialog.objectName().toStdString(), "id_910");
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Title");
    QPlainTextEdit& field = Field(dialog);
    EXPECT_TRUE(field.isReadOnly());
    EXPECT_EQ(field.toPlainText().toStdString(), "Band - Tune");
    EXPECT_EQ(field.textCursor().selectedText().toStdString(), "Band - Tune");
    EXPECT_EQ(dialog.focusWidget(), &field);
    EXPECT_EQ(AccessibleName(field), "Title");
  });
  RunWindow(TrackInfoField::kFileName, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Filename");
    EXPECT_EQ(Field(dialog).toPlainText().toStdString(), "song.flac");
  });
}

TEST_F(TagWindowTest, EnterAndEscapeClose) {
  for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    bool closed = false;
    RunWindow(TrackInfoField::kArtist, [&](QDialog& dialog) {
      EXPECT_EQ(Field(dialog).toPlainText().toStdString(), "Nothing playing");
      SendKey(Field(dialog), key);
      closed = !dialog.isVisible();
    });
    EXPECT_TRUE(closed) << key;
  }
}

TEST_F(TagWindowTest, CaptionStaysEnglishInFrench) {
  SetLanguage("fr");
  RunWindow(TrackInfoField::kGenre, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Genre");
    EXPECT_EQ(Field(dialog).toPlainText().toStdString(), "Aucune lecture en cours");
  });
  RunWindow(TrackInfoField::kComment, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Comment");
  });
}

}  // namespace
}  // namespace kestrel
