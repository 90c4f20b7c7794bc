#pragma once

#include <functional>
#include <string>
#include <vector>

class QMenuBar;

// The Recent Files submenu of the File menu, rebuilt whenever a menu of the main window is about
// to open.
namespace kestrel {

// Finds the Recent Files submenu in the first menu of the bar (by its objectName
// "recent_files", so whatever the interface language) and fills it from `recent`: one item per
// entry, id 6000 + i (objectName "id_600i"), text "&n name" numbered 1-9 then 0; a single greyed
// "(Empty)" when the list is empty. Choosing an item calls `on_command` with its id. False when
// the bar has no such submenu.
bool BuildRecentMenu(QMenuBar& bar, const std::vector<std::string>& recent,
                     const std::function<void(int)>& on_command);

}  // namespace kestrel
