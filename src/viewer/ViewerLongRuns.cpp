// "3D" and "Cut": runs over the slices from the bottom to the top limit, one slice per pass. The
// window stays alive between slices: pending events are let through, so "Stop" and everything
// else that stops playback cancel the run after the slice it is on. While a run goes on, m_play
// holds Start without playback's ticks, which is how the mouse and the handles know to keep still.
//
// Slices are decoded ahead on one worker per usable processor, and the picture is redrawn at most once per frame of
// the screen; the selector, the caption and the progress line still follow every slice.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "analysis/AnalysisRequest.h"
#include "analysis/Model3DText.h"
#include "app/SliceReadAhead.h"
#include "dialogs/SaveImageDialog.h"
#include "platform/ProcessorShare.h"
#include "viewer/FramePacedRepaints.h"
#include "viewer/OncePerFrame.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

void ViewerDialog::EnableControls(std::initializer_list<int> ids, bool enabled) {
  for (int controlId : ids) SetEnabled(controlId, enabled);
}

// Lets every pending event through (clicks, keys, paints, timers) and returns once none is left.
void ViewerDialog::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

// The selector, the caption and the progress line follow every slice; the picture is redrawn,
// and the window repainted, at most once per frame. A slice that cannot be read stops the run as
// "Stop" does (its reader has shown what was wrong with it), and the run ends there even when
// "Start" is pressed before it sees playback stopped.
bool ViewerDialog::RunOverSlices(int first, int last, const std::function<void()>& beforeSlice,
                                 const std::function<void()>& sample) {
  const QScopedValueRollback<bool> running(m_sliceRunGoesOn, true);
  SliceReadAhead slices({m_slicePaths.begin() + first, m_slicePaths.begin() + last + 1}, &m_sampleWindow,
                        m_decodeWorkers > 0 ? m_decodeWorkers : platform::UsableProcessors());
  FramePacedRepaints repaints(this);
  OncePerFrame redraw([this] { Redraw(); });
  for (int index = first; index <= last; ++index) {
    if (beforeSlice) beforeSlice();
    const bool read = slices.Next(m_slice) == LoadStatus::kLoaded;
    if (!read) OnStop();
    SetSliderToSlice(m_sliceSlider, index);
    ShowFields();
    SetCaption(SliceTitleWithExtension(index));
    redraw.Request();
    if (read) sample();
    PumpMessages();
    if (!read || !m_play) return false;
  }
  return true;
}

void ViewerDialog::On3D() {
  OnStop();
  m_play = true;
  ShowFields();
  SetShown(id::kGraph, false);
  m_sizeDistributionMode = false;
  SetChecked(id::kSizeDistribution, false);
  SetChecked(id::kModel3D, true);
  const auto buttons = {id::kLine, id::kRectangle, id::kEllipse, id::kModel3D, id::kSizeDistribution};
  EnableControls(buttons, false);
  Create3DModel();
  EnableControls(buttons, true);
  SetChecked(id::kModel3D, false);
  Redraw();
}

// The box, the threshold window and "Invert" are taken once, when the run starts: a model whose
// layers were thresholded two ways would measure nothing real. The palette still follows "Invert".
void ViewerDialog::Create3DModel() {
  SetText(id::kGraphCaption, "");
  const analysis::AnalysisRequest request = CurrentRequest();
  const analysis::ModelSettings settings = analysis::ModelSettingsFor(request);

  std::optional<analysis::ModelBuilder> model;
  try {
    model.emplace(settings);
  } catch (const std::length_error&) {
    OnStop();  // a box beyond any slice: nothing to build
  }
  const bool finished = model && RunOverSlices(
                                     request.firstSlice, request.lastSlice, [&] { ShowModelProgress(*model); },
                                     [&] { model->AddSlice(m_slice); });
  if (!finished) {  // cancelled: nothing of the model is shown
    SetText(id::kGraphCaption, "");
    SetResultsText("");
    return;
  }
  Redraw();
  SetResultsText(model->Finish().text);
  OnStop();
}

// The box shows the text so far and the line of the layer being read. Only that line changes from
// one layer to the next, and replacing it alone takes a third of the time of setting the whole
// text again (about 20 microseconds against 60), which counts when slices take 200.
void ViewerDialog::ShowModelProgress(const analysis::ModelBuilder& model) {
  if (model.LayersAdded() == 0) {
    SetResultsText(model.ProgressText());
    return;
  }
  m_resultsText = model.ProgressText();
  auto* box = qobject_cast<QPlainTextEdit*>(Control(id::kResults));
  QTextCursor layerLine(box->document()->lastBlock());  // the box leaves out the text's last line end
  layerLine.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  layerLine.insertText(
      QString::fromStdString(analysis::ModelLayerText(model.LayersAdded() + 1, model.Layers())).trimmed());
}

void ViewerDialog::OnCut() {
  if (!m_lineTool) return;
  OnLine();
  CutAlongLine();
}

// With the line tool on for the run, every redraw shows the line's results on the slice being
// read. The finished cut is shown in the colours the viewer has when the run ends.
void ViewerDialog::CutAlongLine() {
  OnStop();
  if (m_sliceCount < 2) {
    SetChecked(id::kCut, false);
    return;
  }
  m_play = true;
  ShowFields();
  m_lineTool = true;
  const auto tools = {id::kLine, id::kRectangle, id::kEllipse};
  EnableControls(tools, false);
  const analysis::AnalysisRequest request = CurrentRequest();

  std::optional<analysis::CutBuilder> cut;
  try {
    cut.emplace(analysis::CutSettingsFor(request));
  } catch (const std::length_error&) {
    OnStop();  // a line beyond any slice: nothing to cut
  }
  const bool finished =
      cut && RunOverSlices(request.firstSlice, request.lastSlice, {}, [&] { cut->AddSlice(m_slice); });
  SetShown(id::kGraph, false);
  SetText(id::kGraphCaption, "");
  SetResultsText("");
  m_lineTool = false;
  OnStop();
  Redraw();
  SetChecked(id::kCut, false);
  if (finished) {
    dialogs::SaveImageDialog dialog(this);  // framed as the viewer is, which its layout counts on
    dialog.SetSaveFolder(std::filesystem::path(m_slicePaths.front()).parent_path().string());
    dialog.SetImage(cut->TakeCutImage(CurrentDisplay()));  // the colours at the end of the run
    dialog.exec();
  }
  EnableControls(tools, true);
}

}  // namespace orvel::viewer
