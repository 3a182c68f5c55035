#pragma once
// How the slices are shown: the palette mode, Invert and the two level sliders. The viewer shows
// its slices this way and the cut takes the same colours, through the one function below.
#include "image/SliceImage.h"

namespace orvel::analysis {

// The display modes, numbered as the viewer's palette radio buttons.
enum PaletteMode : int {
  kGreyscalePalette = 0,
  kColour1Palette = 1,
  kColour2Palette = 2,
  kBinaryPalette = 3,
  kOriginalPalette = 4,
};

struct SliceDisplay {
  int palette = kOriginalPalette;  // a PaletteMode
  bool invert = false;
  int lowerLevelPosition = 0;  // level sliders: 0 .. 255 and 1 .. 510 for a 256-entry table
  int upperLevelPosition = 0;
};

// Rewrites the image's colour table for the display: Greyscale and the two colour modes take the
// sliders as window levels, Binary their threshold window, Original neither. Pixel indices are
// never changed.
void ApplySliceDisplay(SliceImage& image, const SliceDisplay& display);

}  // namespace orvel::analysis
