#include "platform/qt/DialogButtonAccessible.h"

#include <QAbstractButton>
#include <QPointer>
#include <QPushButton>

#include "platform/qt/TemplateControls.h"

namespace orvel::platform {

namespace {

QAccessible::Role RoleOf(const QAbstractButton* button) {
  if (!button->isCheckable()) return QAccessible::Button;
  // Radio buttons are the checkable buttons of a radio group; the rest are check boxes.
  return button->autoExclusive() ? QAccessible::RadioButton : QAccessible::CheckBox;
}

// Qt asks the factories class by class from the most derived one, and the first answer wins: the
// template's button classes are known to this factory alone.
QAccessibleInterface* DialogButtonFactory(const QString& className, QObject* object) {
  if (!IsTemplateButtonClass(className)) return nullptr;
  auto* button = qobject_cast<QAbstractButton*>(object);
  return button ? new DialogButtonAccessible(button) : nullptr;
}

}  // namespace

DialogButtonAccessible::DialogButtonAccessible(QAbstractButton* button) : QAccessibleWidget(button, RoleOf(button)) {}

QAbstractButton* DialogButtonAccessible::Button() const { return static_cast<QAbstractButton*>(widget()); }

QString DialogButtonAccessible::text(QAccessible::Text kind) const {
  if (kind == QAccessible::Name) {
    const QString name = Button()->accessibleName();
    return name.isEmpty() ? QString(Button()->text()).remove(u'&') : name;
  }
  return QAccessibleWidget::text(kind);
}

QAccessible::State DialogButtonAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.checkable = Button()->isCheckable();
  state.checked = Button()->isChecked();
  state.pressed = Button()->isDown();
  if (auto* push = qobject_cast<QPushButton*>(Button())) state.defaultButton = push->isDefault();
  return state;
}

QStringList DialogButtonAccessible::actionNames() const {
  if (!IsOperable(Button())) return {};
  return {Button()->isCheckable() ? toggleAction() : pressAction()};
}

// Every action is a click: the button checks itself as a click would, and the dialog's click
// handler runs. The click waits for the event loop, so that the caller hears back at once even
// when the handler runs a long analysis or a modal dialog; it is checked again then, as the
// button may have gone, or been hidden or disabled, meanwhile.
void DialogButtonAccessible::doAction(const QString& actionName) {
  if (!actionNames().contains(actionName)) return;
  QMetaObject::invokeMethod(
      Button(),
      [button = QPointer<QAbstractButton>(Button())] {
        if (button && IsOperable(button)) button->click();
      },
      Qt::QueuedConnection);
}

QStringList DialogButtonAccessible::keyBindingsForAction(const QString&) const { return {}; }

// Installing again is harmless, and needed after an application object has gone, which clears
// the factories.
void InstallDialogButtonAccessibility() { QAccessible::installFactory(DialogButtonFactory); }

}  // namespace orvel::platform
