#pragma once
// The button and trackbar classes of dialogs built from templates. The buttons behave as Qt's
// own; their class names let assistive technology be given DialogButtonAccessible and
// TrackbarAccessible for them.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

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

// The platform's trackbar keys, the same in both orientations: Left and Up step towards the
// minimum, Right and Down towards the maximum, Page Up and Page Down by a page, Home and End to
// the ends. (Qt's own horizontal slider would take Up and Page Up towards the maximum.)
class TemplateTrackbar : public QSlider {
  Q_OBJECT
 public:
  using QSlider::QSlider;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// Whether className names one of the button classes above.
bool IsTemplateButtonClass(const QString& className);

// Whether a user can operate the control now: shown within its window (which itself may still
// be hidden) and enabled. Assistive technology reaches hidden controls too, and must not move
// them.
bool IsOperable(const QWidget* control);

}  // namespace orvel::platform
