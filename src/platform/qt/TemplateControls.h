#pragma once
// The button classes of dialogs built from templates. They behave as Qt's own; their class names
// let assistive technology be given DialogButtonAccessible for them.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace orvel::platform {

class TemplatePushButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;
};

class TemplateRadioButton : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;
};

class TemplateCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;
};

// Whether className names one of the classes above.
bool IsTemplateButtonClass(const QString& className);

}  // namespace orvel::platform
