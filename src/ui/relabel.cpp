#include "ui/relabel.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>

#include "i18n/translate.h"

namespace kestrel {
namespace {

constexpr const char* kNoTranslateProperty = "kestrelNoTranslate";

bool OptedOut(const QObject& object) { return object.property(kNoTranslateProperty).toBool(); }

QString Translated(const QString& text) {
  return QString::fromStdString(Translate(text.toStdString()));
}

// Calls set with the translation of text when there is text and its translation differs.
template <typename Setter>
void Relabel(const QString& text, Setter set) {
  if (text.isEmpty()) return;
  const QString translated = Translated(text);
  if (translated != text) set(translated);
}

void RelabelActions(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    if (!OptedOut(*action)) Relabel(action->text(), [&](const QString& t) { action->setText(t); });
    if (QMenu* submenu = action->menu()) RelabelActions(submenu->actions());
  }
}

// True when the widget sits in the dialog's own window, not in a separate window parented to it.
bool InDialogWindow(const QWidget& widget, const QWidget& dialog) {
  for (const QWidget* w = &widget; w && w != &dialog; w = w->parentWidget()) {
    if (w->isWindow()) return false;
  }
  return true;
}

void RelabelControl(QWidget& widget) {
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    Relabel(label->text(), [&](const QString& t) { label->setText(t); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    Relabel(button->text(), [&](const QString& t) { button->setText(t); });
  } else if (auto* box = qobject_cast<QGroupBox*>(&widget)) {
    Relabel(box->title(), [&](const QString& t) { box->setTitle(t); });
  } else if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
    for (int i = 0; i < tabs->count(); ++i) {
      Relabel(tabs->tabText(i), [&](const QString& t) { tabs->setTabText(i, t); });
    }
  }
  // What a screen reader says for the control when a dialog set it explicitly; typed text is
  // never here.
  Relabel(widget.accessibleName(), [&](const QString& t) { widget.setAccessibleName(t); });
  Relabel(widget.accessibleDescription(), [&](const QString& t) { widget.setAccessibleDescription(t); });
}

}  // namespace

void RelabelMenu(QWidget& menu_owner) {
  for (QMenuBar* bar : menu_owner.findChildren<QMenuBar*>()) RelabelActions(bar->actions());
}

void RelabelDialog(QWidget& dialog) {
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    if (!OptedOut(*widget) && InDialogWindow(*widget, dialog)) RelabelControl(*widget);
  }
  if (!OptedOut(dialog)) {
    Relabel(dialog.windowTitle(), [&](const QString& t) { dialog.setWindowTitle(t); });
  }
}

void SetNoTranslate(QObject& object) { object.setProperty(kNoTranslateProperty, true); }

}  // namespace kestrel
