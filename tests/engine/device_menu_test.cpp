#include "engine/device_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "engine/output_fixture.h"

namespace kestrel {
namespace {

struct MenuItem {
  std::string text;
  std::string object_name;
  bool checked = false;
  bool operator==(const MenuItem&) const = default;
};

void PrintTo(const MenuItem& item, std::ostream* out) {
  *out << item.text << " " << item.object_name << (item.checked ? " (checked)" : "");
}

// The main window, output started, and a person at the keyboard who reads the menu when it
// pops up and then presses keys in it.
class DeviceMenuTest : public test::AudioOutputTest {
 protected:
  void SetUp() override {
    AudioOutputTest::SetUp();
    ASSERT_TRUE(InitAudioOutput(&window));
    window.show();
  }

  // Shows the device menu; `choose` gets the open menu and acts in it. What the menu offered
  // is kept in `items`, and whether the window was visible while it was open in
  // `window_visible_in_menu`.
  void OpenMenu(const std::function<void(QMenu&)>& choose) {
    items.clear();
    menu_seen = false;
    QTimer::singleShot(0, &window, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      menu_seen = true;
      window_visible_in_menu = window.isVisible();
      for (QAction* action : menu->actions()) {
        items.push_back({action->text().toStdString(), action->objectName().toStdString(),
                         action->isChecked()});
      }
      choose(*menu);
    });
    ShowDeviceMenu(&window);
  }

  static void Press(QMenu& menu, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&menu, &press);
  }
  // Moves to the item with this object name and presses Enter.
  static void Choose(QMenu& menu, const char* object_name) {
    for (QAction* action : menu.actions()) {
      if (action->objectName() == object_name) menu.setActiveAction(action);
    }
    Press(menu, Qt::Key_Return);
  }

  QMainWindow window;
  std::vector<MenuItem> items;
  bool menu_seen = false;
  bool window_visible_in_menu = false;
};

TEST_F(DeviceMenuTest, OffersEachDeviceWithTheDefaultCheckedAndSwitchesToTheChoice) {
  OpenMenu([](QMenu& menu) { Choose(menu, "id_5002"); });

  ASSERT_TRUE(menu_seen);
  const std::vector<MenuItem> expected = {{"Null output 1", "id_5001", true},
                                          {"Null output 2", "id_5002", false}};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(CurrentDeviceIndex(), 2);
  EXPECT_EQ(TheSettings().device_name, "Null output 2");
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Switched to Null output 2"});
}

TEST_F(DeviceMenuTest, TheDeviceInUseIsCheckedAndEscapeChangesNothing) {
  SelectDevice(2);
  Spoken();

  OpenMenu([](QMenu& menu) { Press(menu, Qt::Key_Escape); });

  ASSERT_TRUE(menu_seen);
  const std::vector<MenuItem> expected = {{"Null output 1", "id_5001", false},
                                          {"Null output 2", "id_5002", true}};
  EXPECT_EQ(items, expected);
  EXPECT_EQ(CurrentDeviceIndex(), 2);
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(DeviceMenuTest, AWindowInTheTrayAppearsForTheMenuOnly) {
  window.hide();

  OpenMenu([](QMenu& menu) { Choose(menu, "id_5001"); });

  ASSERT_TRUE(menu_seen);
  EXPECT_TRUE(window_visible_in_menu);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(CurrentDeviceIndex(), 1);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"Switched to Null output 1"});
}

// No sound system at all: there is nothing to offer.
TEST_F(DeviceMenuTest, WithoutDevicesTheUserIsToldAndNoMenuOpens) {
  test::ScopedEnv no_null_devices("KESTREL_AUDIO", nullptr);
  test::ScopedEnv no_driver("SDL_AUDIODRIVER", "kestrel-no-such-driver");

  OpenMenu([](QMenu& menu) { menu.close(); });

  EXPECT_FALSE(menu_seen);
  EXPECT_EQ(Spoken(), std::vector<std::string>{"No audio devices found"});
}

}  // namespace
}  // namespace kestrel
