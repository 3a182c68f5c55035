#pragma once
// What assistive technology sees of a dialog's buttons, radio buttons and check boxes: the
// caption as name, the role, the checked state, and one action that clicks the button, as the
// platform the dialogs were designed on does. Qt's own interface toggles a checkable button
// without a click, so the dialog's click handler would never hear of it.
#include <QAccessibleWidget>

class QAbstractButton;

namespace orvel::platform {

// QAccessibleWidget is its own action interface.
class DialogButtonAccessible : public QAccessibleWidget {
 public:
  explicit DialogButtonAccessible(QAbstractButton* button);

  QString text(QAccessible::Text kind) const override;
  QAccessible::State state() const override;

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  QAbstractButton* Button() const;
};

// Makes the buttons of dialogs built from templates (TemplateControls.h) use DialogButtonAccessible.
void InstallDialogButtonAccessibility();

}  // namespace orvel::platform
