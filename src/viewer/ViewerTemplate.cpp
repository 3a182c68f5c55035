#include "viewer/ViewerTemplate.h"

namespace orvel::viewer {

using platform::ControlKind;
namespace c = platform::control;

const platform::DialogTable& ViewerTemplate() {
  // Tab order is the order of the rows; positions and sizes in dialog units.
  static const platform::DialogTable table{
      "Orvel dataset viewer",
      156,
      376,
      {
          {id::kExit, ControlKind::kPushButton, "Exit", 92, 6, 40, 14, c::kDefault},
          {id::kStop, ControlKind::kPushRadio, "Stop", 53, 6, 40, 14, c::kGroupStart},
          {id::kStart, ControlKind::kPushRadio, "Start", 14, 6, 40, 14},
          {id::kFastLabel, ControlKind::kStaticText, "Fast", 14, 27, 21, 8},
          {id::kSpeed, ControlKind::kHorizontalTrackbar, "", 36, 27, 73, 9, 0, nullptr, "Speed"},
          {id::kSlowLabel, ControlKind::kStaticText, "Slow", 110, 27, 21, 8, c::kRightAligned | c::kGroupStart},
          {id::kPaletteGroup, ControlKind::kGroupBox, "Palette", 14, 39, 117, 83},
          {id::kInvert, ControlKind::kCheckTextLeft, "Invert", 74, 97, 47, 10},
          {id::kPreview, ControlKind::kFrame, "", 25, 126, 96, 90, 0, nullptr, "Preview"},
          {id::kSliceSelector, ControlKind::kVerticalTrackbar, "", 122, 123, 10, 96, c::kNoTicks, nullptr, "Slice"},
          {id::kImage, ControlKind::kFrame, "", 142, 6, 8, 210, c::kSunken, nullptr, "Image"},
          {id::kLowerLevel, ControlKind::kHorizontalTrackbar, "", 73, 60, 52, 10, c::kNoTicks | c::kHidden, nullptr,
           "Lower level"},
          {id::kUpperLevel, ControlKind::kHorizontalTrackbar, "", 73, 84, 52, 10, c::kNoTicks | c::kHidden, nullptr,
           "Upper level"},
          {id::kLowerLevelCaption, ControlKind::kStaticText, "", 73, 50, 29, 10, c::kGroupStart},
          {id::kUpperLevelCaption, ControlKind::kStaticText, "", 73, 74, 29, 10, c::kGroupStart},
          {id::kSelectionGroup, ControlKind::kGroupBox, "Selection", 14, 220, 59, 57},
          {id::kLine, ControlKind::kPushRadio, "Line", 24, 232, 40, 14},
          {id::kBottomLimit, ControlKind::kVerticalTrackbar, "", 14, 171, 10, 48, c::kNoTicks | c::kHidden,
           "Bottom selection limit", "Bottom selection limit"},
          {id::kTopLimit, ControlKind::kVerticalTrackbar, "", 14, 123, 10, 48, c::kNoTicks | c::kHidden,
           "Top selection limit", "Top selection limit"},
          {id::kCut, ControlKind::kPushRadio, "Cut", 82, 232, 40, 14},
          {id::kProcessingGroup, ControlKind::kGroupBox, "Processing", 72, 220, 59, 57},
          {id::kRectangle, ControlKind::kPushRadio, "Rectangle", 24, 245, 40, 14},
          {id::kEllipse, ControlKind::kPushRadio, "Ellipse", 24, 258, 40, 14},
          {id::kGreyscale, ControlKind::kRadio, "Greyscale", 25, 61, 47, 10, c::kGroupStart},
          {id::kColour1, ControlKind::kRadio, "Colour 1", 25, 73, 47, 10},
          {id::kColour2, ControlKind::kRadio, "Colour 2", 25, 85, 47, 10},
          {id::kBinary, ControlKind::kRadio, "Binary", 25, 97, 47, 10},
          {id::kOriginal, ControlKind::kRadio, "Original", 25, 49, 47, 10},
          {id::kResults, ControlKind::kReadOnlyEdit, "", 20, 289, 106, 44, 0, nullptr, "Results"},
          {id::kSizeDistribution, ControlKind::kPushCheck, "2D", 82, 245, 40, 14},
          {id::kResultsGroup, ControlKind::kGroupBox, "Results", 14, 279, 117, 86},
          {id::kModel3D, ControlKind::kPushCheck, "3D", 82, 258, 40, 14},
          {id::kColourBar, ControlKind::kFrame, "", 25, 111, 96, 8, 0, nullptr, "Colour bar"},
          {id::kGraphCaption, ControlKind::kStaticText, "", 20, 354, 106, 8, c::kCentred | c::kGroupStart},
          {id::kGraph, ControlKind::kFrame, "", 25, 334, 96, 19, c::kHidden, nullptr, "Graph"},
          {id::kLowerLevelValue, ControlKind::kStaticText, "", 104, 50, 24, 10, c::kGroupStart},
          {id::kUpperLevelValue, ControlKind::kStaticText, "", 104, 74, 24, 10, c::kGroupStart},
      }};
  return table;
}

}  // namespace orvel::viewer
