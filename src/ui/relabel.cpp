#include "ui/relabel.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QWidget>

#include "i18n/translate.h"

namespace kestrel {
namespace {

QString Translated(const QString& text) {
  return QString::fromStdString(Translate(text.toStdString()));
}

void RelabelActions(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    if (!action->text().isEmpty()) {
      const QString translated = Translated(action->text());
      if (translated != action->text()) action->setText(translated);
    }
    if (QMenu* submenu = action->menu()) RelabelActions(submenu->actions());
  }
}

}  // namespace

void RelabelMenu(QWidget& menu_owner) {
  for (QMenuBar* bar : menu_owner.findChildren<QMenuBar*>()) RelabelActions(bar->actions());
}

void RelabelDialog(QWidget& dialog) {
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) label->setText(Translated(label->text()));
  }
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    if (!button->text().isEmpty()) button->setText(Translated(button->text()));
  }
  for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
    if (!box->title().isEmpty()) box->setTitle(Translated(box->title()));
  }
  for (QTabWidget* tabs : dialog.findChildren<QTabWidget*>()) {
    for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, Translated(tabs->tabText(i)));
  }
  if (!dialog.windowTitle().isEmpty()) dialog.setWindowTitle(Translated(dialog.windowTitle()));
}

}  // namespace kestrel
