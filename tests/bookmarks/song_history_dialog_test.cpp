// The Song History dialog offscreen, driven by keys and buttons: the rows it lists, copying a
// title, clearing with a question, closing, and what a screen reader is told.
#include "bookmarks/song_history_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/post_to_ui.h"
#include "i18n/translate.h"
#include "speech/speech.h"
#include "storage/database.h"
#include "support/noting_reader.h"
#include "support/temp_folder.h"
#include "ui/message_box.h"

#include "support/dialog_walk.h"

namespace kestrel {
namespace {

constexpr std::int64_t kFirstStamp = 1'700'000'000;  // 2023-11-14 22:13:20 UTC

std::int64_t& Clock() {
  static std::int64_t now = kFirstStamp;
  return now;
}

using test::ControlSpeech;
using test::FocusableControls;
using test::SendKey;

void SendCtrlC(QWidget& target) {
  SendKey(target, Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
}

std::vector<std::string> Rows(QListWidget& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.count(); ++i) rows.push_back(list.item(i)->text().toStdString());
  return rows;
}

QListWidget& List(QDialog& dialog) {
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("id_992"));
  EXPECT_NE(list, nullptr);
  return *list;
}

QPushButton& Button(QDialog& dialog, const char* id) {
  auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(id));
  EXPECT_NE(button, nullptr) << id;
  return *button;
}

class SongHistoryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllTranslations();
    SetLanguage("en");
    // Two hours east of UTC, with no daylight saving: local times differ from UTC by a date.
    if (const char* tz = std::getenv("TZ")) old_tz_ = tz;
    setenv("TZ", "KST-2", 1);
    tzset();
    Clock() = kFirstStamp;
    SetDatabaseClockForTesting([] { return Clock()++; });
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
    SetMessageBoxHandlerForTesting([this](const MessageBoxRequest& request) {
      boxes_.push_back(request);
      return answer_;
    });
    SetUiMessageSink([](PostedMessage) {});  // speech is only queued while a window listens
    speech_.emplace([this](std::string_view text, bool) { said_.emplace_back(text); });
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  }

  void TearDown() override {
    speech_.reset();
    ClearUiMessageSink();
    SetMessageBoxHandlerForTesting(nullptr);
    CloseDatabase();
    SetDatabaseClockForTesting(nullptr);
    if (old_tz_) {
      setenv("TZ", old_tz_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
    SetLanguage("en");
  }

  // Titles captured one second apart, in this order.
  static void Capture(const std::vector<std::string>& titles) {
    for (const std::string& title : titles) AddSongHistory(title);
  }

  std::vector<std::string> Said() {
    DrainSpeechQueue();
    return std::exchange(said_, {});
  }

  static std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }

  // Opens the dialog as command 990 does; `act` runs once it is up. False when it never showed.
  bool RunDialog(const std::function<void(QDialog&)>& act) {
    return test::RunModalDialog([] { ShowSongHistoryDialog(nullptr); }, act);
  }

  test::TempFolder temp_;
  std::vector<MessageBoxRequest> boxes_;
  MessageResult answer_ = MessageResult::No;

 private:
  std::optional<std::string> old_tz_;
  std::vector<std::string> said_;
  std::optional<test::NotedSpeech> speech_;
};

TEST_F(SongHistoryDialogTest, EveryControlIsNamedForScreenReadersInBothLanguages) {
  struct Case {
    const char* language;
    const char* title;
    std::map<std::string, ControlSpeech> controls;
  };
  const Case cases[] = {
      {"en", "Song History",
       {{"id_992", {"Recent songs captured from stream metadata (Ctrl+C to copy):",
                    QAccessible::List}},
        {"id_993", {"Copy", QAccessible::Button}},
        {"id_994", {"Clear", QAccessible::Button}},
        {"id_2", {"Close", QAccessible::Button}}}},
      {"fr", "Historique des morceaux",
       {{"id_992", {"Morceaux récents relevés dans les métadonnées des flux (Ctrl+C pour copier) :",
                    QAccessible::List}},
        {"id_993", {"Copier", QAccessible::Button}},
        {"id_994", {"Effacer", QAccessible::Button}},
        {"id_2", {"Fermer", QAccessible::Button}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    SetLanguage(c.language);
    SongHistoryDialog dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), "id_991");
    EXPECT_EQ(dialog.windowTitle().toStdString(), c.title);
    EXPECT_EQ(FocusableControls(dialog), c.controls);
    EXPECT_EQ(dialog.focusWidget(), &List(dialog));
    EXPECT_TRUE(Button(dialog, "id_2").isDefault());
  }
}

TEST_F(SongHistoryDialogTest, ListsTheNewestHundredFirstWithTheirLocalTimes) {
  std::vector<std::string> titles;
  for (int i = 0; i < 150; ++i) titles.push_back("Song " + std::to_string(i));
  Capture(titles);
  SongHistoryDialog dialog(nullptr);
  const std::vector<std::string> rows = Rows(List(dialog));
  ASSERT_EQ(rows.size(), 100u);
  // Song 149 was stamped 22:15:49 UTC, past midnight two hours east.
  EXPECT_EQ(rows.front(), "Song 149\t2023-11-15 00:15:49");
  EXPECT_EQ(rows[1], "Song 148\t2023-11-15 00:15:48");
  EXPECT_EQ(rows.back(), "Song 50\t2023-11-15 00:14:10");
  EXPECT_EQ(List(dialog).currentRow(), 0);
}

TEST_F(SongHistoryDialogTest, WithNothingCapturedTheListIsEmptyAndCopyDoesNothing) {
  SongHistoryDialog dialog(nullptr);
  EXPECT_EQ(List(dialog).count(), 0);
  SendCtrlC(List(dialog));
  Button(dialog, "id_993").click();
  EXPECT_EQ(Clipboard(), "before");
  EXPECT_TRUE(Said().empty());
}

TEST_F(SongHistoryDialogTest, CtrlCAndCopyPutTheSelectedTitleAloneOnTheClipboard) {
  Capture({"Daft Punk - One More Time", "Air - La Femme d'Argent", "Caf\xC3\xA9 Tacvba - Eres"});
  struct Case {
    const char* how;
    int row;  // -1: no row selected
    std::string clipboard;
  };
  const Case cases[] = {
      {"ctrl+c", 0, "Caf\xC3\xA9 Tacvba - Eres"},
      {"ctrl+c", 2, "Daft Punk - One More Time"},
      {"ctrl+c", -1, "before"},
      {"button", 1, "Air - La Femme d'Argent"},
      {"button", -1, "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.how) + " " + std::to_string(c.row));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    SongHistoryDialog dialog(nullptr);
    List(dialog).setCurrentRow(c.row);
    if (std::string(c.how) == "ctrl+c") {
      SendCtrlC(List(dialog));
    } else {
      Button(dialog, "id_993").click();
    }
    EXPECT_EQ(Clipboard(), c.clipboard);
    EXPECT_EQ(Said(), c.row < 0 ? std::vector<std::string>{}
                                : std::vector<std::string>{"Song copied"});
  }
}

TEST_F(SongHistoryDialogTest, ClearAsksFirstAndOnlyYesEmptiesTheHistory) {
  Capture({"A - 1", "B - 2", "C - 3"});
  SongHistoryDialog dialog(nullptr);
  for (const MessageResult answer : {MessageResult::No, MessageResult::Yes}) {
    SCOPED_TRACE(answer == MessageResult::Yes ? "yes" : "no");
    answer_ = answer;
    boxes_.clear();
    Button(dialog, "id_994").click();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Clear all song history?");
    EXPECT_EQ(boxes_[0].caption, "Song History");
    EXPECT_EQ(boxes_[0].icon, MessageIcon::Question);
    EXPECT_EQ(boxes_[0].buttons, MessageButtons::YesNo);
    const std::size_t left = answer == MessageResult::Yes ? 0u : 3u;
    EXPECT_EQ(static_cast<std::size_t>(List(dialog).count()), left);
    EXPECT_EQ(ListSongHistory().size(), left);
  }
  EXPECT_EQ(dialog.focusWidget(), &List(dialog));
}

TEST_F(SongHistoryDialogTest, EscapeInTheListAndTheCloseButtonClose) {
  Capture({"A - 1"});
  for (const char* how : {"escape", "close"}) {
    SCOPED_TRACE(how);
    bool closed = false;
    ASSERT_TRUE(RunDialog([&](QDialog& dialog) {
      if (std::string(how) == "escape") {
        SendKey(List(dialog), Qt::Key_Escape);
      } else {
        Button(dialog, "id_2").click();
      }
      closed = !dialog.isVisible();
    }));
    EXPECT_TRUE(closed);
  }
  EXPECT_EQ(ListSongHistory().size(), 1u);  // closing changes nothing
}

TEST_F(SongHistoryDialogTest, TheListTakesTheRoomLeftWithinSevenPixelsEachSide) {
  Capture({"A - 1"});
  SongHistoryDialog dialog(nullptr);
  EXPECT_EQ(dialog.minimumSize(), QSize(300, 200));
  for (const QSize size : {QSize(300, 200), QSize(640, 480)}) {
    SCOPED_TRACE(size.width());
    dialog.resize(size);
    dialog.show();
    QApplication::processEvents();
    const QRect list = List(dialog).geometry();
    EXPECT_EQ(list.left(), 7);
    EXPECT_EQ(dialog.width() - 1 - list.right(), 7);
    const QRect close = Button(dialog, "id_2").geometry();
    EXPECT_EQ(dialog.width() - 1 - close.right(), 7);
    EXPECT_GT(close.top(), list.bottom());
    EXPECT_EQ(Button(dialog, "id_993").geometry().left(), 7);
    dialog.hide();
  }
}

}  // namespace
}  // namespace kestrel
