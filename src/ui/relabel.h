#pragma once

class QWidget;

// Menus and dialogs are built with their English texts; relabelling replaces each text by its
// translation in the active language.
namespace kestrel {

// Every item of the window's menu bar and of its submenus.
void RelabelMenu(QWidget& menu_owner);
// Every labelled child of a dialog (labels, buttons, group boxes, tabs) and its caption.
void RelabelDialog(QWidget& dialog);

}  // namespace kestrel
