// Relabelling menus and dialogs into the active language, leaving the user's own text alone.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/menu_bar.h"
#include "diag/logger.h"
#include "i18n/translate.h"
#include "i18n/translation_table.h"
#include "storage/settings.h"
#include "ui/relabel.h"

// Shows a QString readably when an expectation fails.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kestrel {
namespace {

// The French text the table gives a key, or "" when it has none.
std::string FrenchOf(const std::string& key) {
  std::map<std::string, std::string> french;
  for (const auto& block : TranslationBlocks()) {
    for (const TranslationRow& row : block) {
      if (row.french) french[row.key] = row.french;
    }
  }
  auto it = french.find(key);
  return it == french.end() ? std::string() : it->second;
}

// Every item's text in menu order, submenus included; separators left out.
std::vector<std::string> MenuTexts(const QList<QAction*>& actions) {
  std::vector<std::string> texts;
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    texts.push_back(action->text().toStdString());
    if (QMenu* submenu = action->menu()) {
      for (std::string& text : MenuTexts(submenu->actions())) texts.push_back(std::move(text));
    }
  }
  return texts;
}

class RelabelTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterAllTranslations(); }
  void TearDown() override { SetLanguage("en"); }
};

TEST_F(RelabelTest, TheMenuBarReadsInFrench) {
  SetLanguage("en");
  std::vector<std::string> english;
  {
    MainWindow built;  // the menu bar as built, before relabelling
    english = MenuTexts(built.menuBar()->actions());
  }
  ASSERT_GT(english.size(), 40u);

  StartLogger();
  TheSettings() = Settings{};
  SetLanguage("fr");
  MainWindow w;
  ASSERT_TRUE(w.Create());
  const std::vector<std::string> french = MenuTexts(w.menuBar()->actions());
  ASSERT_EQ(french.size(), english.size());
  for (size_t i = 0; i < english.size(); ++i) {
    const std::string expected = FrenchOf(english[i]);
    EXPECT_FALSE(expected.empty()) << "no French text for the menu item " << english[i];
    EXPECT_EQ(french[i], expected) << english[i];
  }
  EXPECT_EQ(french.front(), "&Fichier");
  EXPECT_EQ(french[1], "&Ouvrir...\tCtrl+O");
  w.close();
}

TEST_F(RelabelTest, TheVideoContextMenuIsBuiltInTheActiveLanguage) {
  SetLanguage("fr");
  QWidget owner;
  QMenu* menu = BuildVideoContextMenu(&owner, [](int) {});
  const std::vector<std::string> texts = MenuTexts(menu->actions());
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.front(), "Plein écran\tF11");
  for (const std::string& text : texts) EXPECT_EQ(text.find("Cycle"), std::string::npos) << text;
}

// A dialog as the program builds one: its own labels in English, and fields holding the user's
// data, some of which happens to equal a key.
struct SampleDialog {
  SampleDialog() {
    dialog.setWindowTitle("Add Radio Station");
    auto* layout = new QVBoxLayout(&dialog);
    name_label = new QLabel("Station &name:");
    name = new QLineEdit("Downloads");
    name_label->setBuddy(name);
    notes = new QTextEdit("Playlist");
    source = new QComboBox;
    source->setEditable(true);
    source->addItems({"Favorites", "Search"});
    source->setEditText("Recording");
    station_shown = new QLabel("Downloads");  // e.g. a podcast called so
    SetNoTranslate(*station_shown);
    mine = new QCheckBox("&Echo");
    box = new QGroupBox("Effects");
    tabs = new QTabWidget;
    tabs->addTab(new QWidget, "Playback");
    tabs->addTab(new QWidget, "my own tab");
    ok = new QPushButton("OK");
    ok->setAccessibleName("Close");
    for (QWidget* w : std::initializer_list<QWidget*>{name_label, name, notes, source, station_shown,
                                                      mine, box, tabs, ok}) {
      layout->addWidget(w);
    }
    // A separate window parented to the dialog relabels itself when it opens.
    child_window = new QDialog(&dialog);
    child_window->setWindowTitle("Bookmarks");
    child_label = new QLabel("Playlist", child_window);
  }

  QDialog dialog;
  QLabel* name_label;
  QLineEdit* name;
  QTextEdit* notes;
  QComboBox* source;
  QLabel* station_shown;
  QCheckBox* mine;
  QGroupBox* box;
  QTabWidget* tabs;
  QPushButton* ok;
  QDialog* child_window;
  QLabel* child_label;
};

TEST_F(RelabelTest, ADialogTranslatesItsLabelsAndLeavesTheUsersTextAlone) {
  SetLanguage("fr");
  SampleDialog s;
  RelabelDialog(s.dialog);

  EXPECT_EQ(s.dialog.windowTitle(), "Ajouter une station de radio");
  EXPECT_EQ(s.name_label->text(), "&Nom de la station :");
  EXPECT_EQ(s.mine->text(), "É&cho");
  EXPECT_EQ(s.box->title(), "Effets");
  EXPECT_EQ(s.tabs->tabText(0), "Lecture");
  EXPECT_EQ(s.tabs->tabText(1), "my own tab");
  EXPECT_EQ(s.ok->text(), "OK");
  EXPECT_EQ(s.ok->accessibleName(), "Fermer");

  // the user's data, even where it equals a key
  EXPECT_EQ(s.name->text(), "Downloads");
  EXPECT_EQ(s.notes->toPlainText(), "Playlist");
  EXPECT_EQ(s.source->currentText(), "Recording");
  EXPECT_EQ(s.source->itemText(0), "Favorites");
  EXPECT_EQ(s.station_shown->text(), "Downloads");

  // another window's controls wait for that window's own relabelling
  EXPECT_EQ(s.child_window->windowTitle(), "Bookmarks");
  EXPECT_EQ(s.child_label->text(), "Playlist");
  RelabelDialog(*s.child_window);
  EXPECT_EQ(s.child_window->windowTitle(), "Signets");
  EXPECT_EQ(s.child_label->text(), "Liste de lecture");
}

TEST_F(RelabelTest, InEnglishOnlyTheSymbolicAndLinuxTextsChange) {
  SetLanguage("en");
  SampleDialog s;
  s.name_label->setText("Could not open the manual. Make sure the docs folder is present alongside Kestrel.exe.");
  RelabelDialog(s.dialog);
  EXPECT_EQ(s.dialog.windowTitle(), "Add Radio Station");
  EXPECT_EQ(s.mine->text(), "&Echo");
  EXPECT_EQ(s.name_label->text(),
            "Could not open the manual. Make sure the docs folder is present beside the kestrel program.");
  EXPECT_EQ(s.name->text(), "Downloads");
}

TEST_F(RelabelTest, AMenuItemShowingUserDataKeepsItsText) {
  SetLanguage("fr");
  QWidget owner;
  auto* bar = new QMenuBar(&owner);
  QMenu* file = bar->addMenu("&File");
  QMenu* recent = file->addMenu("Recent &Files");
  QAction* item = recent->addAction("Playlist");  // a recent file that happens to be called so
  SetNoTranslate(*item);
  RelabelMenu(owner);
  EXPECT_EQ(file->title(), "&Fichier");
  EXPECT_EQ(recent->title(), "Fichi&ers récents");
  EXPECT_EQ(item->text(), "Playlist");
}

}  // namespace
}  // namespace kestrel
