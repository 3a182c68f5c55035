#include "platform/qt/TrackbarAccessible.h"

#include <QSlider>

#include "platform/qt/TemplateControls.h"

namespace orvel::platform {

namespace {

QAccessibleInterface* TrackbarFactory(const QString& className, QObject* object) {
  if (className != QLatin1String(TemplateTrackbar::staticMetaObject.className())) return nullptr;
  auto* slider = qobject_cast<QSlider*>(object);
  return slider ? new TrackbarAccessible(slider) : nullptr;
}

}  // namespace

TrackbarAccessible::TrackbarAccessible(QSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

QSlider* TrackbarAccessible::Slider() const { return static_cast<QSlider*>(widget()); }

void* TrackbarAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QVariant TrackbarAccessible::currentValue() const { return Slider()->value(); }

// Moves the thumb as the user would, so the dialog's scroll handler runs.
void TrackbarAccessible::setCurrentValue(const QVariant& value) {
  if (IsOperable(Slider())) Slider()->setValue(value.toInt());
}

QVariant TrackbarAccessible::maximumValue() const { return Slider()->maximum(); }

QVariant TrackbarAccessible::minimumValue() const { return Slider()->minimum(); }

QVariant TrackbarAccessible::minimumStepSize() const { return Slider()->singleStep(); }

// Installing again is harmless, and needed after an application object has gone, which clears
// the factories.
void InstallTrackbarAccessibility() { QAccessible::installFactory(TrackbarFactory); }

}  // namespace orvel::platform
