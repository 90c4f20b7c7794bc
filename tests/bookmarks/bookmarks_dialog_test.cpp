// The Bookmarks dialog offscreen, driven by keys: the filter, jump, delete, and what a screen
// reader is told.
#include "bookmarks/bookmarks_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>
#include <functional>

#include "playlist/navigation.h"
#include "playlist/navigation_fixture.h"
#include "storage/database.h"

namespace kestrel {
namespace {

std::string AccessibleName(QWidget& widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  return accessible ? accessible->text(QAccessible::Name).toStdString() : std::string();
}

// On Linux a combo box is named by the label that points at it (its current text is its name).
std::string LabelledBy(QWidget& widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
  if (!accessible) return {};
  for (const auto& [other, relation] : accessible->relations(QAccessible::Label)) {
    return other->text(QAccessible::Name).toStdString();
  }
  return {};
}

void SendKey(QWidget& target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(&target, &release);
}

std::vector<std::string> Rows(QListWidget& list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list.count(); ++i) rows.push_back(list.item(i)->text().toStdString());
  return rows;
}

class BookmarksDialogTest : public test::NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    CloseDatabase();
    ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
    FillPlaylist(2, 20);
    // Oldest first; listed newest first.
    AddBookmark(ThePlaylist().items[0], 3);
    AddBookmark(ThePlaylist().items[1], 4);
    AddBookmark(ThePlaylist().items[0], 5);
    AddBookmark(ThePlaylist().items[0], 61);
  }

  void TearDown() override {
    CloseDatabase();
    NavigationTest::TearDown();
  }

  // Opens the dialog as command 801 does; `act` runs once it is up. False when it never showed.
  bool RunDialog(const std::function<void(QDialog&, QListWidget&, QComboBox&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen = true;
      auto* list = dialog->findChild<QListWidget*>(QStringLiteral("id_811"));
      auto* filter = dialog->findChild<QComboBox*>(QStringLiteral("id_812"));
      if (list && filter) act(*dialog, *list, *filter);
      if (dialog->isVisible()) dialog->reject();
    });
    ShowBookmarksDialog(nullptr);
    return seen;
  }
};

TEST_F(BookmarksDialogTest, CurrentFileFirstThenAllAndNamedForScreenReaders) {
  PlayItem(0, true);
  ASSERT_TRUE(RunDialog([](QDialog& dialog, QListWidget& list, QComboBox& filter) {
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Bookmarks");
    EXPECT_EQ(filter.currentText().toStdString(), "Current file");
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"0.wav @ 1:01", "0.wav @ 0:05",
                                                    "0.wav @ 0:03"}));
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(dialog.focusWidget(), &list);
    EXPECT_EQ(AccessibleName(list), "Bookmarks");
    EXPECT_EQ(LabelledBy(filter), "Show:");

    filter.setCurrentIndex(1);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"0.wav @ 1:01", "0.wav @ 0:05",
                                                    "1.wav @ 0:04", "0.wav @ 0:03"}));
    EXPECT_EQ(dialog.focusWidget(), &list);
  }));
}

TEST_F(BookmarksDialogTest, WithNoCurrentItemItOpensOnAllBookmarks) {
  ASSERT_TRUE(RunDialog([](QDialog&, QListWidget& list, QComboBox& filter) {
    EXPECT_EQ(filter.currentText().toStdString(), "All bookmarks");
    EXPECT_EQ(list.count(), 4);
  }));
}

TEST_F(BookmarksDialogTest, DeleteRemovesTheRowSelectsTheNextAndSaysSo) {
  PlayItem(0, true);
  Spoken();
  ASSERT_TRUE(RunDialog([this](QDialog&, QListWidget& list, QComboBox&) {
    list.setCurrentRow(2);  // the last of three
    SendKey(list, Qt::Key_Delete);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"0.wav @ 1:01", "0.wav @ 0:05"}));
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(Spoken(), std::vector<std::string>{"Bookmark removed"});

    CloseDatabase();  // the store refuses: the row stays and nothing is claimed
    SendKey(list, Qt::Key_Delete);
    EXPECT_EQ(list.count(), 2);
    EXPECT_TRUE(Spoken().empty());
  }));
  ASSERT_TRUE(OpenDatabaseAt(temp_.path() / "Kestrel.db"));
  EXPECT_EQ(ListBookmarks().size(), 3u);
}

TEST_F(BookmarksDialogTest, DeletingTheOnlyRowLeavesTheListEmpty) {
  PlayItem(1, true);
  ASSERT_TRUE(RunDialog([](QDialog&, QListWidget& list, QComboBox&) {
    ASSERT_EQ(list.count(), 1);
    SendKey(list, Qt::Key_Delete);
    EXPECT_EQ(list.count(), 0);
    SendKey(list, Qt::Key_Delete);  // nothing left: nothing happens
  }));
  EXPECT_EQ(ListBookmarks().size(), 3u);
}

TEST_F(BookmarksDialogTest, EnterJumpsToTheSelectedBookmarkAndCloses) {
  PlayItem(1, true);
  bool closed = false;
  ASSERT_TRUE(RunDialog([&](QDialog& dialog, QListWidget& list, QComboBox& filter) {
    filter.setCurrentIndex(1);
    list.setCurrentRow(1);  // 0.wav @ 0:05, not the current item
    SendKey(list, Qt::Key_Return);
    closed = !dialog.isVisible();
  }));
  EXPECT_TRUE(closed);
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedIndex(), 0);
  EXPECT_NEAR(Position(), 5, 0.5);
}

TEST_F(BookmarksDialogTest, EscapeCloses) {
  bool closed = false;
  ASSERT_TRUE(RunDialog([&](QDialog& dialog, QListWidget& list, QComboBox&) {
    SendKey(list, Qt::Key_Escape);
    closed = !dialog.isVisible();
  }));
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace kestrel
