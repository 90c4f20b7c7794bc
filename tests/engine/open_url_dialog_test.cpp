// The Open URL dialog offscreen: what a screen reader is told, the clipboard prefill, the length
// read, and the playlist it leaves behind.
#include "engine/open_url_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "playlist/navigation_fixture.h"
#include "playlist/replace_playlist.h"

#include "support/dialog_walk.h"

namespace kestrel {
namespace {

using test::ControlSpeech;
using test::FocusableControls;
using test::SendKey;

QLineEdit& Field(QDialog& dialog) {
  auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("id_651"));
  EXPECT_NE(field, nullptr);
  return *field;
}

void Press(QDialog& dialog, const char* button) {
  auto* push = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
  ASSERT_NE(push, nullptr) << button;
  push->click();
}

class OpenUrlDialogTest : public test::NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    QGuiApplication::clipboard()->clear();
  }

  void TearDown() override {
    SetOpenUrlAskerForTesting(nullptr);
    SetLanguage("en");
    NavigationTest::TearDown();
  }

  // A playlist of two tones, the first playing, to be replaced (or not).
  void PlayTwoTones() {
    FillPlaylist(2, 20);
    PlayItem(0, true);
    ASSERT_EQ(OpenedIndex(), 0);
  }

  // Opens the dialog as command 104 does; `act` runs once it is up.
  void RunDialog(const std::function<void(QDialog&)>& act) {
    EXPECT_TRUE(test::RunModalDialog([] { ShowOpenUrlDialog(nullptr); }, act));
  }

};

TEST_F(OpenUrlDialogTest, EveryControlIsNamedForScreenReadersInBothLanguages) {
  struct Case {
    const char* language;
    const char* title;
    std::map<std::string, ControlSpeech> controls;
  };
  const Case cases[] = {
      {"en", "Open URL",
       {{"id_651", {"Enter stream URL (http/https):", QAccessible::EditableText}},
        {"id_1", {"OK", QAccessible::Button}},
        {"id_2", {"Cancel", QAccessible::Button}}}},
      {"fr", "Ouvrir une URL",
       {{"id_651", {"Saisissez l'URL du flux (http/https) :", QAccessible::EditableText}},
        {"id_1", {"OK", QAccessible::Button}},
        {"id_2", {"Annuler", QAccessible::Button}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    SetLanguage(c.language);
    OpenUrlDialog dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), "id_650");
    EXPECT_EQ(dialog.windowTitle().toStdString(), c.title);
    EXPECT_EQ(FocusableControls(dialog), c.controls);
    auto* label = dialog.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), &Field(dialog));
    EXPECT_EQ(dialog.focusWidget(), &Field(dialog));
  }
}

TEST_F(OpenUrlDialogTest, OnlyAWebAddressOnTheClipboardIsPutInTheField) {
  struct Case {
    const char* clipboard;
    bool prefilled;
  };
  const Case cases[] = {
      {"http://radio.example/stream", true},
      {"HTTPS://RADIO.EXAMPLE:8443/LIVE.MP3", true},
      {"Http://Mixed.Example/", true},
      {"ftp://files.example/song.mp3", false},
      {"rtsp://radio.example/stream", false},
      {"just some words about http://radio.example", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clipboard);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    OpenUrlDialog dialog(nullptr);
    const QString expected = c.prefilled ? QString::fromUtf8(c.clipboard) : QString();
    EXPECT_EQ(Field(dialog).text(), expected);
    // All of it selected, so typing replaces it.
    EXPECT_EQ(Field(dialog).selectedText(), expected);
    EXPECT_EQ(dialog.focusWidget(), &Field(dialog));
  }
}

TEST_F(OpenUrlDialogTest, OkReadsAtMostTheFieldLengthAndCancelReadsNothing) {
  const QString long_url = QStringLiteral("http://radio.example/") + QString(3000, QLatin1Char('a'));
  // An emoji whose two halves straddle the limit: the half left over is dropped, not mangled.
  const QString straddling =
      QStringLiteral("http://r.example/") + QString(2048 - 18, QLatin1Char('b')) +
      QString::fromUtf8("\xF0\x9F\x8E\xB5");
  struct Case {
    QString typed;
    const char* button;
    std::string entered;
    int result;
  };
  const Case cases[] = {
      {QStringLiteral("http://radio.example/live"), "id_1", "http://radio.example/live",
       QDialog::Accepted},
      {QStringLiteral("  https://radio.example/live\n"), "id_1", "https://radio.example/live",
       QDialog::Accepted},
      {long_url, "id_1", long_url.left(2048).toStdString(), QDialog::Accepted},
      {straddling, "id_1", straddling.left(2047).toStdString(), QDialog::Accepted},
      {QString(), "id_1", "", QDialog::Accepted},
      {QStringLiteral("http://radio.example/live"), "id_2", "", QDialog::Rejected},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.left(40).toStdString());
    OpenUrlDialog dialog(nullptr);
    Field(dialog).setText(c.typed);
    Press(dialog, c.button);
    EXPECT_EQ(dialog.result(), c.result);
    EXPECT_EQ(dialog.EnteredUrl(), c.entered);
  }
}

TEST_F(OpenUrlDialogTest, AnAddressReplacesThePlaylistAndIsOpenedAnythingElseChangesNothing) {
  // Nothing listens on port 1: the open is asked for and fails at once, which is all this test
  // needs; playing real streams is the stream tests' work.
  const std::string url = "http://127.0.0.1:1/stream";
  struct Case {
    std::string answer;
    bool replaced;
  };
  const Case cases[] = {
      {url, true},
      {"", false},  // Cancel, or OK on an empty field
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    PlayTwoTones();
    const std::vector<std::string> before = ThePlaylist().items;
    SetOpenUrlAskerForTesting([&](QWidget*) { return c.answer; });
    ShowOpenUrlDialog(nullptr);
    if (c.replaced) {
      EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{url});
      EXPECT_EQ(ThePlaylist().current_index, 0);  // PlayItem(0) took it as its item
    } else {
      EXPECT_EQ(ThePlaylist().items, before);
      EXPECT_EQ(ThePlaylist().current_index, 0);
      EXPECT_EQ(OpenedIndex(), 0);
      EXPECT_EQ(Now(), test::Heard::kPlaying);
    }
    CloseMedia();
  }
}

TEST_F(OpenUrlDialogTest, WhileAnItemIsBeingOpenedTheAddressWaitsForItsTurn) {
  PlayTwoTones();
  const std::vector<std::string> before = ThePlaylist().items;
  ThePlaylist().opening = true;
  const std::string url = "http://127.0.0.1:1/stream";
  SetOpenUrlAskerForTesting([url](QWidget*) { return url; });
  ShowOpenUrlDialog(nullptr);
  EXPECT_EQ(ThePlaylist().items, before) << "nothing may change while an item is being opened";
  EXPECT_EQ(OpenedIndex(), 0);

  ThePlaylist().opening = false;
  ReplaceWithWaitingList();  // as the end of the opening does
  EXPECT_EQ(ThePlaylist().items, std::vector<std::string>{url}) << "the address was lost";
  CloseMedia();
}

TEST_F(OpenUrlDialogTest, TheCommandRunsTheRealDialogAndKeysAnswerIt) {
  const std::string url = "http://127.0.0.1:1/from-the-clipboard";
  struct Case {
    int key;
    bool replaced;
  };
  const Case cases[] = {{Qt::Key_Return, true}, {Qt::Key_Escape, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    PlayTwoTones();
    QGuiApplication::clipboard()->setText(QString::fromStdString(url));
    RunDialog([&](QDialog& dialog) {
      EXPECT_EQ(Field(dialog).text().toStdString(), url);
      SendKey(Field(dialog), c.key);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(ThePlaylist().items.size(), c.replaced ? 1u : 2u);
    EXPECT_EQ(ThePlaylist().items.front(), c.replaced ? url : (temp_.path() / "0.wav").string());
    CloseMedia();
  }
}

}  // namespace
}  // namespace kestrel
