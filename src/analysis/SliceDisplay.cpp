#include "analysis/SliceDisplay.h"

#include "analysis/ColourScheme.h"

namespace orvel::analysis {

// The Show call picks the scheme and which levels it reads; the table is final only after
// SetInverted, which computes it once more with the levels set in between.
void ApplySliceDisplay(SliceImage& image, const SliceDisplay& display) {
  switch (display.palette) {
    case kGreyscalePalette: image.ShowGreyscale(); break;
    case kColour1Palette: image.ShowColour1(); break;
    case kColour2Palette: image.ShowColour2(); break;
    case kBinaryPalette: image.ShowBinary(); break;
    default: image.ShowOriginal(); break;
  }
  if (display.palette <= kColour2Palette) {
    image.SetLowerLevel(display.lowerLevelPosition);
    image.SetUpperLevel(display.upperLevelPosition);
  } else if (display.palette == kBinaryPalette) {
    const ThresholdRange window = ThresholdWindow(display.lowerLevelPosition, display.upperLevelPosition);
    image.SetBinaryThresholds(window.low, window.high);
  }
  image.SetInverted(display.invert);
}

}  // namespace orvel::analysis
