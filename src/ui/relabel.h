#pragma once

class QObject;
class QWidget;

// Menus and dialogs are built with their English texts; relabelling replaces each text by its
// translation in the active language.
//
// Only the program's own texts are relabelled. A control that shows the user's data (a file
// name, a station, a typed value) in a label, button or menu item opts out with the dynamic
// property "kestrelNoTranslate" set to true (see SetNoTranslate): were its text ever equal to a
// key, relabelling would replace the user's text by a translation. Edit fields, spin boxes and
// combo boxes are never touched.
namespace kestrel {

// Every item of the window's menu bar and of its submenus.
void RelabelMenu(QWidget& menu_owner);
// Every labelled control inside the dialog (labels, buttons, group boxes, tab titles) with its
// accessible name and description, and the dialog's caption. Controls that belong to another
// window (a child dialog) are left for that window's own relabelling.
void RelabelDialog(QWidget& dialog);

// Marks a widget or menu action as showing user data, so relabelling leaves its text alone.
void SetNoTranslate(QObject& object);

}  // namespace kestrel
