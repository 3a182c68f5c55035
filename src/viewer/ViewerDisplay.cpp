// Redraw, the palette buttons, Invert and the level sliders: what the user sees of a slice.
// A palette or level change rewrites the 256 colour-table entries of the slice, the preview and
// the colour bar; pixel indices are never converted.
#include <QSlider>
#include <cstring>
#include <exception>

#include "analysis/SliceDisplay.h"
#include "viewer/PreviewView.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

void ViewerDialog::Redraw() {
  if (m_redrawBusy) return;  // dropped, not queued
  m_redrawBusy = true;
  try {
    ReadControls();
    if (m_slice.GetColourCount() == 256 && m_colourBar.GetColourCount() == 256)
      m_colourBar.SetOriginalColours(m_slice.GetOriginalColours());
    ApplyPalette();
    ShowPreviewAndMarks();
    ShowSlicePicture();
    m_colourBarView->SetPicture(&m_colourBar);
    DrawSelectionOverlay();
    DrawRangeMarks();
    m_resultsText.clear();
    if (!m_slice.IsEmpty() && m_lineTool) ShowLineResults();
    if (!m_slice.IsEmpty() && m_sizeDistributionMode) ShowAreaResults();
  } catch (const std::exception&) {
    // What was drawn so far stays; the guard is released below.
  }
  m_redrawBusy = false;
}

// Builds the colour tables of the slice, the preview and the colour bar for the palette mode.
void ViewerDialog::ApplyPalette() {
  const bool levels = m_palette != analysis::kOriginalPalette;
  analysis::ApplySliceDisplay(m_slice, CurrentDisplay());
  m_preview.CopyDisplaySettings(m_slice);
  m_colourBar.CopyDisplaySettings(m_slice);
  SetEnabled(id::kLowerLevel, levels);
  SetEnabled(id::kUpperLevel, levels);
}

analysis::SliceDisplay ViewerDialog::CurrentDisplay() const {
  return {m_palette, m_invert, m_lowerLevelSlider->value(), m_upperLevelSlider->value()};
}

// The preview in its fitted rectangle, with the red marker of the current slice on side previews.
void ViewerDialog::ShowPreviewAndMarks() {
  m_previewView->SetPicture(m_preview.IsEmpty() ? nullptr : &m_preview,
                            QRect(m_previewOffsetX, m_previewOffsetY, m_previewWidth, m_previewHeight));
  PreviewMarks marks;
  marks.left = m_previewOffsetX;
  marks.right = m_previewOffsetX + m_previewWidth;
  if (m_previewKind == kSidePreview && !m_preview.IsEmpty() && m_preview.GetHeight() > 0) {
    const double scale = static_cast<double>(m_previewHeight) / m_preview.GetHeight();
    const int number = m_sliceNumbers[CurrentSliceIndex()];
    const int row = m_previewOffsetY + m_previewHeight - 1 - static_cast<int>(number * scale);
    if (m_previewOffsetY <= row && row <= m_previewOffsetY + m_previewHeight) marks.currentRow = row;
  }
  marks.rangeRows = m_previewView->Marks().rangeRows;  // DrawRangeMarks replaces them
  m_previewView->SetMarks(marks);
}

void ViewerDialog::SetLevelLabels(const char* lower, const char* upper) {
  SetText(id::kLowerLevelCaption, lower);
  SetText(id::kUpperLevelCaption, upper);
}

void ViewerDialog::ShowLevelSliders(bool shown) {
  SetShown(id::kLowerLevel, shown);
  SetShown(id::kUpperLevel, shown);
}

// The Binary read-outs show the threshold pair: the upper position halved.
void ViewerDialog::WriteLevelReadouts() {
  SetText(id::kLowerLevelValue, std::to_string(m_lowerLevelSlider->value()));
  const int upper = m_upperLevelSlider->value();
  SetText(id::kUpperLevelValue, std::to_string(m_palette == analysis::kBinaryPalette ? upper / 2 : upper));
}

void ViewerDialog::OnOriginal() {
  SetLevelLabels(" ", " ");
  ShowLevelSliders(false);
  Redraw();
  SetText(id::kLowerLevelValue, " ");
  SetText(id::kUpperLevelValue, " ");
}

// Every palette but Original: the two level sliders with their captions and read-outs.
void ViewerDialog::ShowLevelPalette(const char* lowerCaption, const char* upperCaption) {
  SetLevelLabels(lowerCaption, upperCaption);
  ShowLevelSliders(true);
  Redraw();
  WriteLevelReadouts();
}

void ViewerDialog::OnGreyscale() { ShowLevelPalette("brightness", "contrast"); }

// The two colour palettes differ only in their colour tables, which Redraw builds.
void ViewerDialog::OnColour1() { ShowLevelPalette("colour", "range"); }

void ViewerDialog::OnColour2() { OnColour1(); }

void ViewerDialog::OnBinary() { ShowLevelPalette("level 1", "level 2"); }

void ViewerDialog::OnInvert() { Redraw(); }

void ViewerDialog::OnHorizontalScroll(int) {
  ReadControls();
  WriteLevelReadouts();
  m_playback.SetDelay(m_speedSlider->value());
  Redraw();
}

}  // namespace orvel::viewer
