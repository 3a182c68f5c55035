#pragma once
// The cut along the measuring line: every slice of a range contributes the grey values along the
// line from the start to the stop point, and the slices are stacked bottom-up into a new image,
// `CutImage`, each slice repeated for the s pixel rows it stands for (the last one once).
//
// The builder takes one slice at a time (so a caller can show progress, let messages through and
// stop between slices) and writes the samples straight into the image: no buffer beside it.
#include <cstdint>
#include <vector>

#include "analysis/SelectionBox.h"
#include "analysis/SliceDisplay.h"
#include "image/SliceImage.h"

namespace orvel::analysis {

struct CutSettings {
  ImagePoint start;  // image pixels, y down from the top; the direction matters
  ImagePoint stop;
  int layers = 1;   // L: slices first .. last
  int spacing = 1;  // s: pixel rows per slice; below 1 taken as 1
};

// How the viewer shows slices when the cut is made; the cut takes the same colours.
using CutDisplay = SliceDisplay;

class CutBuilder {
 public:
  // Throws std::length_error when the image would exceed the largest image a reader accepts.
  explicit CutBuilder(const CutSettings& settings);

  int Width() const { return m_samples; }   // len: samples per slice, the stop point not sampled
  int Height() const { return m_outRows; }  // (L - 1) s + 1
  int LayersAdded() const { return m_layersAdded; }
  int Layers() const { return m_layers; }

  // Samples the next slice of the range (points outside it read as 0). At most Layers() times.
  void AddSlice(const SliceImage& slice);

  // `CutImage`, once every slice is added: 8 bits per pixel, the resolution and file colours of
  // the last slice, and the colour table of the display mode, as the viewer shows the slices.
  SliceImage TakeCutImage(const CutDisplay& display);

 private:
  void SampleLine(const SliceImage& slice, std::uint8_t* row) const;

  int m_layers;
  int m_spacing;
  int m_samples = 0;
  int m_outRows = 0;
  std::vector<std::int64_t> m_columns;  // image column and row of every sample point
  std::vector<std::int64_t> m_rows;
  SliceImage m_image;
  int m_layersAdded = 0;
  std::int32_t m_xPelsPerMeter = 0;
  std::int32_t m_yPelsPerMeter = 0;
  std::vector<std::uint8_t> m_fileColours;
};

}  // namespace orvel::analysis
