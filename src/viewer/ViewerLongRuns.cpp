// "3D" and "Cut": runs over the slices from the bottom to the top limit, one slice per pass. The
// window stays alive between slices: pending events are let through, so "Stop" and everything
// else that stops playback cancel the run after the slice it is on. While a run goes on, m_play
// is 1 without a playback timer, which is how the mouse and the handles know to keep still.
//
// Slices are read ahead on a worker thread, and the picture is redrawn at most once per frame of
// the screen; the selector, the caption and the progress line still follow every slice.
#include <QCoreApplication>
#include <QSlider>
#include <optional>
#include <stdexcept>

#include "analysis/Cut.h"
#include "analysis/Model3D.h"
#include "app/SliceReadAhead.h"
#include "dialogs/SaveImageDialog.h"
#include "viewer/OncePerFrame.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

int ViewerDialog::RangeSliceIndex(const QSlider* limit) const { return m_sliceCount - 1 - limit->value(); }

void ViewerDialog::EnableControls(std::initializer_list<int> ids, bool enabled) {
  for (int controlId : ids) SetEnabled(controlId, enabled);
}

// Lets every pending event through (clicks, keys, paints, timers) and returns once none is left.
void ViewerDialog::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

// Takes the run's slice `index` into m_slice and shows where the run is. A slice that cannot be
// read stops the run as "Stop" does (its reader has shown what was wrong with it).
bool ViewerDialog::ShowRunSlice(SliceReadAhead& slices, int index, OncePerFrame& redraw) {
  const bool read = slices.Next(m_slice) == LoadStatus::kLoaded;
  if (!read) OnStop();
  SetSliderPosition(m_sliceSlider, m_sliceCount - 1 - index);
  ShowFields();
  SetCaption(SliceTitleWithExtension(index));
  redraw.Request();
  return read;
}

namespace {

std::vector<std::string> PathsBetween(const std::vector<std::string>& paths, int first, int last) {
  return {paths.begin() + first, paths.begin() + last + 1};
}

}  // namespace

void ViewerDialog::On3D() {
  OnStop();
  m_play = 1;
  ShowFields();
  SetShown(id::kGraph, false);
  m_sizeDistributionMode = 0;
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
  const int first = RangeSliceIndex(m_bottomLimitSlider), last = RangeSliceIndex(m_topLimitSlider);
  analysis::ModelSettings settings;
  settings.box = analysis::SelectionBox::FromPoints({m_startPoint.x, m_startPoint.y}, {m_stopPoint.x, m_stopPoint.y});
  settings.shape = m_ellipseTool ? analysis::AreaShape::kEllipse : analysis::AreaShape::kRectangle;
  settings.window = analysis::ThresholdWindow(m_lowerLevelSlider->value(), m_upperLevelSlider->value());
  settings.invert = m_invert;
  settings.layers = last - first + 1;
  settings.spacing = m_sliceSpacing;
  m_selectionBounds[0] = settings.box.minX;
  m_selectionBounds[1] = settings.box.minY;
  m_selectionBounds[2] = settings.box.maxX;
  m_selectionBounds[3] = settings.box.maxY;
  m_selectionArea = static_cast<int>(settings.box.Width() * settings.box.Height());

  std::optional<analysis::ModelBuilder> model;
  try {
    model.emplace(settings);
  } catch (const std::length_error&) {
    OnStop();  // a box beyond any slice: nothing to build
  }
  if (model) {
    SliceReadAhead slices(PathsBetween(m_slicePaths, first, last));
    OncePerFrame redraw([this] { Redraw(); });
    for (int k = 0; k < settings.layers && m_play != 0; ++k) {
      SetResultsText(model->ProgressText());
      if (ShowRunSlice(slices, first + k, redraw)) model->AddSlice(m_slice);
      PumpMessages();
    }
  }
  if (m_play == 0) {  // cancelled: nothing of the model is shown
    SetText(id::kGraphCaption, "");
    SetResultsText("");
    return;
  }
  Redraw();
  SetResultsText(model->Finish().text);
  OnStop();
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
  m_play = 1;
  ShowFields();
  m_lineTool = 1;
  const auto tools = {id::kLine, id::kRectangle, id::kEllipse};
  EnableControls(tools, false);
  const int first = RangeSliceIndex(m_bottomLimitSlider), last = RangeSliceIndex(m_topLimitSlider);
  analysis::CutSettings settings;
  settings.start = {m_startPoint.x, m_startPoint.y};
  settings.stop = {m_stopPoint.x, m_stopPoint.y};
  settings.layers = last - first + 1;
  settings.spacing = m_sliceSpacing;

  std::optional<analysis::CutBuilder> cut;
  try {
    cut.emplace(settings);
  } catch (const std::length_error&) {
    OnStop();  // a line beyond any slice: nothing to cut
  }
  if (cut) {
    SliceReadAhead slices(PathsBetween(m_slicePaths, first, last));
    OncePerFrame redraw([this] { Redraw(); });
    for (int k = 0; k < settings.layers && m_play != 0; ++k) {
      if (ShowRunSlice(slices, first + k, redraw)) cut->AddSlice(m_slice);
      PumpMessages();
    }
  }
  const bool cancelled = m_play == 0;
  SetShown(id::kGraph, false);
  SetText(id::kGraphCaption, "");
  SetResultsText("");
  m_lineTool = 0;
  OnStop();
  Redraw();
  SetChecked(id::kCut, false);
  if (!cancelled) {
    dialogs::SaveImageDialog dialog;
    dialog.SetImage(cut->TakeCutImage(
        {m_palette, m_invert, m_lowerLevelSlider->value(), m_upperLevelSlider->value()}));
    dialog.exec();
  }
  EnableControls(tools, true);
}

}  // namespace orvel::viewer
