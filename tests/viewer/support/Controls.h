#pragma once
// The controls of a window built from a template (the viewer, the save dialog), reached by their
// identifiers and worked as the user works them.
#include <QAbstractButton>
#include <QLabel>
#include <QSlider>

namespace orvel::test {

template <class Window>
QSlider* Slider(const Window& window, int controlId) {
  return qobject_cast<QSlider*>(window.Control(controlId));
}

template <class Window>
QAbstractButton* Button(const Window& window, int controlId) {
  return qobject_cast<QAbstractButton*>(window.Control(controlId));
}

// As the user clicks: nothing happens when the button is disabled.
template <class Window>
void Click(const Window& window, int controlId) {
  Button(window, controlId)->click();
}

template <class Window>
bool Checked(const Window& window, int controlId) {
  return Button(window, controlId)->isChecked();
}

// As the user drags the thumb there, so that the slider's handler runs.
template <class Window>
void MoveSlider(const Window& window, int controlId, int position) {
  Slider(window, controlId)->setValue(position);
}

template <class Window>
QString LabelText(const Window& window, int controlId) {
  return qobject_cast<QLabel*>(window.Control(controlId))->text();
}

}  // namespace orvel::test
