#pragma once
// What assistive technology sees of a dialog's trackbars: a slider with its accessible name and
// a value it may set, as Qt's own slider interface offers, except that a hidden or disabled
// trackbar does not move. Qt's interface moves it all the same, and a hidden slice selector moved
// that way would name a slice the dataset does not have.
#include <QAccessibleWidget>

class QSlider;

namespace orvel::platform {

class TrackbarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TrackbarAccessible(QSlider* slider);

  void* interface_cast(QAccessible::InterfaceType type) override;

  QVariant currentValue() const override;
  void setCurrentValue(const QVariant& value) override;
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;

 private:
  QSlider* Slider() const;
};

// Makes the trackbars of dialogs built from templates (TemplateControls.h) use TrackbarAccessible.
void InstallTrackbarAccessibility();

}  // namespace orvel::platform
