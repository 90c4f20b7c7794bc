#include "playlist/recent_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <string>
#include <vector>

#include "i18n/translate.h"

namespace kestrel {
namespace {

// A main window whose File menu holds the Recent Files submenu the way the application builds it.
class RecentMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllTranslations();
    SetLanguage("en");
    QMenu* file = window_.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open..."));
    recent_ = file->addMenu(QStringLiteral("Recent &Files"));
    recent_->setObjectName(QStringLiteral("recent_files"));
    window_.menuBar()->addMenu(QStringLiteral("&Playback"));
  }
  void TearDown() override { SetLanguage("en"); }

  bool Build(const std::vector<std::string>& recent) {
    return BuildRecentMenu(*window_.menuBar(), recent, [this](int id) { chosen_.push_back(id); });
  }

  QStringList Texts() const {
    QStringList texts;
    for (QAction* action : recent_->actions()) texts << action->text();
    return texts;
  }

  QMainWindow window_;
  QMenu* recent_ = nullptr;
  std::vector<int> chosen_;
};

TEST_F(RecentMenuTest, TenFilesAreNumberedOneToNineThenZeroAndSendTheirIds) {
  std::vector<std::string> recent;
  for (int i = 0; i < 10; ++i) recent.push_back("/music/album/" + std::to_string(i) + ".mp3");
  ASSERT_TRUE(Build(recent));

  const QList<QAction*> items = recent_->actions();
  ASSERT_EQ(items.size(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(items[i]->text(), QStringLiteral("&%1 %2.mp3").arg((i + 1) % 10).arg(i));
    EXPECT_EQ(items[i]->objectName(), QStringLiteral("id_%1").arg(6000 + i));
    EXPECT_TRUE(items[i]->isEnabled());
  }
  items[3]->trigger();
  items[9]->trigger();
  EXPECT_EQ(chosen_, (std::vector<int>{6003, 6009}));
}

TEST_F(RecentMenuTest, RebuildingReplacesTheOldItems) {
  ASSERT_TRUE(Build({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}));
  ASSERT_TRUE(Build({"/m/c.mp3"}));
  EXPECT_EQ(Texts(), QStringList{QStringLiteral("&1 c.mp3")});
  EXPECT_EQ(window_.findChildren<QAction*>(QStringLiteral("id_6001")).size(), 0)
      << "the old items are gone, not hidden";
}

TEST_F(RecentMenuTest, AnEmptyListShowsOneGreyedItemInTheInterfaceLanguage) {
  ASSERT_TRUE(Build({"/m/a.mp3"}));
  SetLanguage("fr");
  ASSERT_TRUE(Build({}));
  ASSERT_EQ(recent_->actions().size(), 1);
  EXPECT_EQ(recent_->actions()[0]->text(), QStringLiteral("(Vide)"));
  EXPECT_FALSE(recent_->actions()[0]->isEnabled());
  recent_->actions()[0]->trigger();
  EXPECT_TRUE(chosen_.empty());
}

TEST_F(RecentMenuTest, ABarWithoutTheSubmenuIsLeftAlone) {
  QMainWindow bare;
  bare.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Open..."));
  EXPECT_FALSE(BuildRecentMenu(*bare.menuBar(), {"/m/a.mp3"}, [](int) {}));
  QMainWindow empty;
  EXPECT_FALSE(BuildRecentMenu(*empty.menuBar(), {"/m/a.mp3"}, [](int) {}));
}

}  // namespace
}  // namespace kestrel
