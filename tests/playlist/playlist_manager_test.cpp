// The Playlist Manager on a list of generated tones played on the null device: its keys, Save
// through the picker seam, and the playlist changing under it while it is open.
#include "playlist/playlist_manager_dialog.h"

#include <QAccessible>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "playlist/navigation_fixture.h"
#include "playlist/replace_playlist.h"
#include "playlist/save_picker.h"

namespace kestrel::test {
namespace {

using Items = std::vector<std::string>;
using Rows = std::vector<int>;

class PlaylistManagerTest : public NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    FillPlaylist(5, 1);
  }
  void TearDown() override {
    dialog_.reset();
    SetSaveFilePickerForTesting(nullptr);
    QGuiApplication::clipboard()->clear();
    NavigationTest::TearDown();
  }

  PlaylistManagerDialog& Open() {
    dialog_ = std::make_unique<PlaylistManagerDialog>();
    dialog_->show();
    return *dialog_;
  }
  QListWidget& List() { return dialog_->List(); }

  void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(&List(), &event);
  }

  // Focus on `focus`, exactly `rows` selected, as the user leaves them.
  void Select(int focus, const Rows& rows) {
    List().clearSelection();
    List().setCurrentRow(focus, QItemSelectionModel::NoUpdate);
    for (int row : rows) List().item(row)->setSelected(true);
  }

  Rows Selected() {
    Rows rows;
    for (int i = 0; i < List().count(); ++i) {
      if (List().item(i)->isSelected()) rows.push_back(i);
    }
    return rows;
  }

  std::vector<std::string> RowTexts() {
    std::vector<std::string> texts;
    for (int i = 0; i < List().count(); ++i) texts.push_back(List().item(i)->text().toStdString());
    return texts;
  }

  // The tone names of the playlist, "0.wav" ... in their present order.
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const std::string& item : ThePlaylist().items) {
      names.push_back(std::filesystem::path(item).filename().string());
    }
    return names;
  }

  std::unique_ptr<PlaylistManagerDialog> dialog_;
};

TEST(PlaylistRowTextTest, NumbersTheFilePart) {
  EXPECT_EQ(PlaylistRowText(1, "/music/a b.mp3"), "1. a b.mp3");
  EXPECT_EQ(PlaylistRowText(12, "C:\\Music\\song.flac"), "12. song.flac");
  EXPECT_EQ(PlaylistRowText(3, "bare.ogg"), "3. bare.ogg");
  EXPECT_EQ(PlaylistRowText(4, "https://radio.example/"), "4. ");
}

TEST_F(PlaylistManagerTest, OpensOnTheCurrentItemWithNamedControls) {
  ThePlaylist().current_index = 2;
  PlaylistManagerDialog& dialog = Open();
  EXPECT_EQ(dialog.windowTitle(), "Playlist Manager");
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1. 0.wav", "2. 1.wav", "3. 2.wav", "4. 3.wav", "5. 4.wav"}));
  EXPECT_EQ(List().currentRow(), 2);
  EXPECT_EQ(Selected(), Rows{2});
  EXPECT_EQ(List().selectionMode(), QAbstractItemView::ExtendedSelection);
  ASSERT_NE(dialog.findChild<QPushButton*>("id_932"), nullptr);
  EXPECT_EQ(dialog.findChild<QPushButton*>("id_932")->text(), "&Save...");
  EXPECT_EQ(dialog.findChild<QListWidget*>("id_931"), &List());

  // Every control the dialog shows is named for a screen reader, the list is a list and its rows
  // are items named by their text.
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->text(QAccessible::Name), "Playlist Manager");
  int named_controls = 0;
  for (int i = 0; i < window->childCount(); ++i) {
    QAccessibleInterface* child = window->child(i);
    if (child->state().invisible) continue;
    EXPECT_FALSE(child->text(QAccessible::Name).isEmpty()) << "child " << i << " role " << child->role();
    ++named_controls;
  }
  EXPECT_EQ(named_controls, 3);  // list, Save, help line
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&List());
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_EQ(list->text(QAccessible::Name), "Playlist");
  int items = 0;
  for (int i = 0; i < list->childCount(); ++i) {
    QAccessibleInterface* child = list->child(i);
    if (child->role() != QAccessible::ListItem) continue;
    EXPECT_EQ(child->text(QAccessible::Name).toStdString(), RowTexts()[static_cast<std::size_t>(items)]);
    ++items;
  }
  EXPECT_EQ(items, 5);
}

TEST_F(PlaylistManagerTest, EnterPlaysTheFocusedRowAndCloses) {
  PlaylistManagerDialog& dialog = Open();
  Select(3, {3});
  Press(Qt::Key_Return);
  EXPECT_EQ(ThePlaylist().current_index, 3);
  EXPECT_EQ(OpenedIndex(), 3);
  EXPECT_EQ(Now(), Heard::kPlaying);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PlaylistManagerTest, EscapeClosesWithoutPlaying) {
  PlaylistManagerDialog& dialog = Open();
  Select(1, {1});
  Press(Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(OpenedIndex(), -1);
}

TEST_F(PlaylistManagerTest, DeleteRemovesTheSelectedRowsAndKeepsTheCurrentItem) {
  struct Case {
    int current;
    Rows selected;
    std::vector<std::string> left;
    int current_after;
    int selected_after;
    const char* said;
  };
  const Case cases[] = {
      // Rows 2 and 5 of the six (1-based) with row 4 current: it stays current at row 3.
      {3, {1, 4}, {"0.wav", "2.wav", "3.wav", "5.wav"}, 2, 1, "2 removed"},
      {2, {2}, {"0.wav", "1.wav", "3.wav", "4.wav", "5.wav"}, -1, 2, "1 removed"},
      {0, {4, 5}, {"0.wav", "1.wav", "2.wav", "3.wav"}, 0, 3, "2 removed"},  // past the end: the last row
  };
  for (const Case& c : cases) {
    FillPlaylist(6, 1);
    ThePlaylist().current_index = c.current;
    Open();
    Select(c.selected.front(), c.selected);
    Spoken();
    Press(Qt::Key_Delete);
    EXPECT_EQ(Names(), c.left) << c.said;
    EXPECT_EQ(ThePlaylist().current_index, c.current_after) << c.said;
    EXPECT_EQ(Selected(), Rows{c.selected_after}) << c.said;
    EXPECT_EQ(List().count(), static_cast<int>(c.left.size()));
    EXPECT_EQ(Spoken(), std::vector<std::string>{c.said});
  }
  // With nothing selected Delete does nothing.
  Select(0, {});
  Press(Qt::Key_Delete);
  EXPECT_EQ(ThePlaylist().items.size(), 4u);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(PlaylistManagerTest, RemovingThePlayingItemLeavesItPlayingAndNextStartsAtTheTop) {
  PlayItem(2, true);
  Open();
  Select(2, {2});
  Press(Qt::Key_Delete);
  EXPECT_EQ(ThePlaylist().current_index, -1);
  EXPECT_EQ(Now(), Heard::kPlaying);
  PlayNext(true);
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedIndex(), 0);
}

TEST_F(PlaylistManagerTest, AltUpAndDownMoveTheSelectedRowsAndTheCurrentItemFollows) {
  ThePlaylist().current_index = 1;
  Open();
  Select(0, {0});
  Press(Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0.wav", "1.wav", "2.wav", "3.wav", "4.wav"}));

  Select(1, {1, 2});
  Press(Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(Names(), (std::vector<std::string>{"1.wav", "2.wav", "0.wav", "3.wav", "4.wav"}));
  EXPECT_EQ(ThePlaylist().current_index, 0);  // 1.wav went with its row
  EXPECT_EQ(Selected(), (Rows{0, 1}));
  EXPECT_EQ(List().currentRow(), 0);
  EXPECT_EQ(RowTexts()[0], "1. 1.wav");

  Press(Qt::Key_Down, Qt::AltModifier);
  Press(Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0.wav", "3.wav", "1.wav", "2.wav", "4.wav"}));
  EXPECT_EQ(ThePlaylist().current_index, 2);
  EXPECT_EQ(Selected(), (Rows{2, 3}));

  Select(4, {3, 4});
  Press(Qt::Key_Down, Qt::AltModifier);  // the last row cannot go further
  EXPECT_EQ(Names(), (std::vector<std::string>{"0.wav", "3.wav", "1.wav", "2.wav", "4.wav"}));
  EXPECT_EQ(Selected(), (Rows{3, 4}));
}

TEST_F(PlaylistManagerTest, CtrlVInsertsAfterTheFocusedRow) {
  const std::string x = Tone("x.wav", 1);
  const std::string y = Tone("y.wav", 1);
  QGuiApplication::clipboard()->setText(QString::fromStdString(x + "\n" + y + "\n"));

  ThePlaylist().current_index = 4;
  Open();
  Select(2, {2});
  Spoken();
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Names(), (std::vector<std::string>{"0.wav", "1.wav", "2.wav", "x.wav", "y.wav", "3.wav", "4.wav"}));
  EXPECT_EQ(ThePlaylist().current_index, 6);  // moved by the two pasted before it
  EXPECT_EQ(Selected(), Rows{3});
  EXPECT_EQ(Spoken(), std::vector<std::string>{"2 files pasted"});

  // An empty list becomes the pasted items.
  ThePlaylist() = Playlist{};
  Open();
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(ThePlaylist().items, (Items{x, y}));
  EXPECT_EQ(ThePlaylist().current_index, -1);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1. x.wav", "2. y.wav"}));

  // Nothing playable on the clipboard: nothing changes and nothing is said.
  QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
  Spoken();
  Press(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(ThePlaylist().items.size(), 2u);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(PlaylistManagerTest, SaveWritesTheListAsM3uThroughThePicker) {
  PlaylistManagerDialog& dialog = Open();
  const std::string target = (temp_.path() / "mine.m3u").string();
  SavePickerRequest asked;
  SetSaveFilePickerForTesting([&](const SavePickerRequest& request) {
    asked = request;
    return target;
  });
  auto* save = dialog.findChild<QPushButton*>("id_932");
  save->click();
  EXPECT_EQ(asked.caption, "Save Playlist");
  EXPECT_EQ(asked.default_name, "playlist.m3u");
  EXPECT_EQ(asked.default_suffix, "m3u");
  EXPECT_EQ(asked.filters,
            (std::vector<std::string>{"M3U Playlist (*.m3u)", "M3U8 Playlist (*.m3u8)", "All Files (*)"}));
  std::ifstream file(target, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  std::string expected = "\xEF\xBB\xBF#EXTM3U\r\n";
  for (const std::string& item : ThePlaylist().items) expected += item + "\r\n";
  EXPECT_EQ(content.str(), expected);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Playlist saved"});
  EXPECT_TRUE(boxes_.empty());

  // A folder that does not exist: the error box, and nothing said.
  SetSaveFilePickerForTesting([&](const SavePickerRequest&) { return (temp_.path() / "no/such/x.m3u").string(); });
  save->click();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Error");
  EXPECT_EQ(boxes_[0].text, "Failed to save playlist.");
  EXPECT_EQ(boxes_[0].icon, MessageIcon::Error);
  EXPECT_TRUE(Spoken().empty());

  // Cancel: nothing.
  SetSaveFilePickerForTesting([&](const SavePickerRequest&) { return std::string(); });
  save->click();
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(PlaylistManagerTest, SavingAnEmptyListSaysSoWithoutAPicker) {
  ThePlaylist() = Playlist{};
  PlaylistManagerDialog& dialog = Open();
  bool picked = false;
  SetSaveFilePickerForTesting([&](const SavePickerRequest&) {
    picked = true;
    return std::string();
  });
  dialog.findChild<QPushButton*>("id_932")->click();
  EXPECT_FALSE(picked);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "Save Playlist");
  EXPECT_EQ(boxes_[0].text, "Playlist is empty.");
}

TEST_F(PlaylistManagerTest, FollowsTheEndOfATrackOnlyWithPlaylistFollow) {
  for (const bool follow : {true, false}) {
    FillPlaylist(5, 0.3);
    TheSettings().playlist_follow = follow;
    PlayItem(0, true);
    Open();
    Select(3, {3});
    const int changes = ItemChanges();
    const auto posted = NextPostedCommand();  // the end of the track asks for Next
    ASSERT_TRUE(posted.has_value());
    EXPECT_EQ(posted->first, 204);  // Next
    PlayNext(true);
    EXPECT_EQ(ThePlaylist().current_index, 1);
    EXPECT_EQ(ItemChanges(), changes + 1);
    NotifyPlaylistManager();  // what the main window does with message 1028
    EXPECT_EQ(Selected(), follow ? Rows{1} : Rows{3}) << follow;
    EXPECT_EQ(List().currentRow(), follow ? 1 : 3) << follow;
    CloseMedia();
  }
}

TEST_F(PlaylistManagerTest, AHandOverWhileOpenRefillsTheList) {
  PlaylistManagerDialog& dialog = Open();
  Select(4, {4});
  const std::string a = Tone("a.wav", 1);
  const std::string b = Tone("b.wav", 1);
  ASSERT_TRUE(ReplacePlaylist({a, b}, 1));
  NotifyPlaylistManager();
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1. a.wav", "2. b.wav"}));
  EXPECT_EQ(Selected(), Rows{1});
  EXPECT_TRUE(dialog.isVisible());

  // Keys act on the live list after the refill.
  Select(0, {0});
  Press(Qt::Key_Delete);
  EXPECT_EQ(ThePlaylist().items, Items{b});
  EXPECT_EQ(ThePlaylist().current_index, 0);
}

TEST_F(PlaylistManagerTest, AKeyOnARowThatNoLongerShowsTheLiveListDoesNothingButRefill) {
  const std::string a = Tone("a.wav", 1);
  const std::string b = Tone("b.wav", 1);
  const std::string c = Tone("c.wav", 1);
  struct KeyCase {
    int key;
    Qt::KeyboardModifiers mods;
  };
  const KeyCase keys[] = {{Qt::Key_Delete, Qt::NoModifier},
                          {Qt::Key_Up, Qt::AltModifier},
                          {Qt::Key_Down, Qt::AltModifier},
                          {Qt::Key_Return, Qt::NoModifier}};
  for (const KeyCase& k : keys) {
    // The list changes behind the dialog and nobody tells it (a hand-over whose items all fail
    // to open posts no message). As many items as before, so only the rows' items differ.
    FillPlaylist(5, 1);
    Open();
    Select(2, {1, 2});
    const Items live = {a, b, c, ThePlaylist().items[3], ThePlaylist().items[4]};
    ThePlaylist().items = live;
    Press(k.key, k.mods);
    EXPECT_EQ(ThePlaylist().items, live) << k.key;
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1. a.wav", "2. b.wav", "3. c.wav", "4. 3.wav", "5. 4.wav"}))
        << k.key;
    EXPECT_EQ(OpenedIndex(), -1) << k.key;
    EXPECT_TRUE(dialog_->isVisible()) << k.key;
  }
}

}  // namespace
}  // namespace kestrel::test
