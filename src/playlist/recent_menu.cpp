#include "playlist/recent_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "i18n/translate.h"
#include "playlist/recent_command.h"
#include "playlist/recent_list.h"

namespace kestrel {
namespace {

QMenu* FindRecentSubmenu(QMenuBar& bar) {
  const QList<QAction*> menus = bar.actions();
  if (menus.isEmpty() || menus.front()->menu() == nullptr) return nullptr;
  return menus.front()->menu()->findChild<QMenu*>(QStringLiteral("recent_files"));
}

}  // namespace

bool BuildRecentMenu(QMenuBar& bar, const std::vector<std::string>& recent,
                     const std::function<void(int)>& on_command) {
  QMenu* submenu = FindRecentSubmenu(bar);
  if (submenu == nullptr) return false;
  submenu->clear();
  if (recent.empty()) {
    submenu->addAction(QString::fromStdString(Translate("(Empty)")))->setEnabled(false);
    return true;
  }
  const int count = std::min<int>(static_cast<int>(recent.size()),
                                  kLastRecentCommand - kFirstRecentCommand + 1);
  for (int i = 0; i < count; ++i) {
    const int id = kFirstRecentCommand + i;
    QAction* item = submenu->addAction(
        QString::fromStdString(RecentMenuLabel(i, recent[static_cast<std::size_t>(i)])));
    item->setObjectName(QStringLiteral("id_%1").arg(id));
    QObject::connect(item, &QAction::triggered, submenu, [on_command, id] { on_command(id); });
  }
  return true;
}

}  // namespace kestrel
