#pragma once
// The viewer window's dialog template and its control identifiers.
#include "platform/qt/DialogTemplate.h"

namespace orvel::viewer {

// Control identifiers of the viewer window.
namespace id {
constexpr int kExit = 1;
constexpr int kStart = 1023, kStop = 1024, kFastLabel = 1025, kSlowLabel = 1027, kSpeed = 1034;
constexpr int kPaletteGroup = 1048, kInvert = 1075, kPreview = 1036, kSliceSelector = 1046;
constexpr int kImage = 1020, kLowerLevel = 1049, kUpperLevel = 1050, kLowerLevelCaption = 1077,
              kUpperLevelCaption = 1078, kLowerLevelValue = 1098, kUpperLevelValue = 1099;
constexpr int kSelectionGroup = 1051, kLine = 1054, kBottomLimit = 1047, kTopLimit = 1052, kCut = 1055,
              kProcessingGroup = 1094, kRectangle = 1060, kEllipse = 1061;
constexpr int kGreyscale = 1141, kColour1 = 1142, kColour2 = 1143, kBinary = 1144, kOriginal = 1145;
constexpr int kResults = 1083, kSizeDistribution = 1086, kResultsGroup = 1095, kModel3D = 1088, kColourBar = 1096,
              kGraphCaption = 1097, kGraph = 1092;
}  // namespace id

const platform::DialogTable& ViewerTemplate();

}  // namespace orvel::viewer
