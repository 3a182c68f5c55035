#include "platform/qt/TemplateControls.h"

#include <QKeyEvent>

namespace orvel::platform {

bool IsTemplateButtonClass(const QString& className) {
  for (const QMetaObject* meta : {&TemplatePushButton::staticMetaObject, &TemplateRadioButton::staticMetaObject,
                                  &TemplateCheckBox::staticMetaObject})
    if (className == QLatin1String(meta->className())) return true;
  return false;
}

bool IsOperable(const QWidget* control) { return control->isVisibleTo(control->window()) && control->isEnabled(); }

namespace {

QAbstractSlider::SliderAction TrackbarActionOfKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down: return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp: return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown: return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home: return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End: return QAbstractSlider::SliderToMaximum;
    default: return QAbstractSlider::SliderNoAction;
  }
}

}  // namespace

void TemplateTrackbar::keyPressEvent(QKeyEvent* event) {
  const SliderAction action = TrackbarActionOfKey(event->key());
  if (action == SliderNoAction) {
    QSlider::keyPressEvent(event);
    return;
  }
  triggerAction(action);
  event->accept();
}

}  // namespace orvel::platform
