#include "viewer/support/RunTestSupport.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "dialogs/SaveImageDialog.h"
#include "dialogs/SaveImageTemplate.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::test {

namespace {

const char* PaletteName(int palette) {
  switch (palette) {
    case viewer::id::kGreyscale: return "greyscale";
    case viewer::id::kColour1: return "colour1";
    case viewer::id::kColour2: return "colour2";
    case viewer::id::kBinary: return "binary";
    default: return "original";
  }
}

}  // namespace

void PrepareRun(ToolsViewer& viewer, int sliceCount, const RunSetup& setup) {
  viewer.Click(setup.tool);
  viewer.MoveSlider(viewer::id::kBottomLimit, sliceCount - 1 - setup.first);
  viewer.MoveSlider(viewer::id::kTopLimit, sliceCount - 1 - setup.last);
  if (setup.palette != 0) viewer.Click(setup.palette);
  if (setup.lowerLevel >= 0) viewer.MoveSlider(viewer::id::kLowerLevel, setup.lowerLevel);
  if (setup.upperLevel >= 0) viewer.MoveSlider(viewer::id::kUpperLevel, setup.upperLevel);
  if (setup.invert) viewer.Click(viewer::id::kInvert);
}

QStringList RunArguments(const std::string& firstSlice, const viewer::ViewerDialog& dialog, const RunSetup& setup) {
  const int lower = Slider(dialog, viewer::id::kLowerLevel)->value();
  const int upper = Slider(dialog, viewer::id::kUpperLevel)->value();
  QStringList arguments{QString::fromStdString(firstSlice),
                        "--range",
                        QStringLiteral("%1,%2").arg(setup.first).arg(setup.last),
                        "--levels",
                        QStringLiteral("%1,%2").arg(lower).arg(upper),
                        "--palette",
                        PaletteName(setup.palette)};
  if (setup.invert) arguments << "--invert";
  return arguments;
}

QString BoxText(const viewer::ViewerDialog& dialog) {
  return qobject_cast<QPlainTextEdit*>(dialog.Control(viewer::id::kResults))->toPlainText();
}

QString AsShown(const std::string& coreText) {
  QString shown = QString::fromStdString(coreText).remove(u'\r');
  if (shown.endsWith(u'\n')) shown.chop(1);
  return shown;
}

void DuringRun(std::function<void()> work) { QTimer::singleShot(0, std::move(work)); }

PumpRecorder::PumpRecorder(viewer::ViewerDialog& dialog) {
  m_everyPass.setInterval(0);
  QObject::connect(&m_everyPass, &QTimer::timeout, &m_everyPass, [this, &dialog] {
    m_states.push_back({dialog.windowTitle(), Slider(dialog, viewer::id::kSliceSelector)->value(), BoxText(dialog)});
  });
  m_everyPass.start();
}

SaveDialogAnswer::SaveDialogAnswer(std::function<void(dialogs::SaveImageDialog&)> action)
    : m_action(std::move(action)) {
  m_poll.setInterval(5);
  QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] {
    auto* dialog = dynamic_cast<dialogs::SaveImageDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    m_seen = true;
    m_image = dialog->Image();
    if (m_action) m_action(*dialog);
    Click(*dialog, dialogs::id::kClose);
  });
  m_poll.start();
}

}  // namespace orvel::test
