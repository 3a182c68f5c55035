#include "dialogs/SaveImageTemplate.h"

namespace orvel::dialogs {

using platform::ControlKind;

const platform::DialogTable& SaveImageTemplate() {
  // Tab order is the order of the rows; positions and sizes in dialog units. The dialog sizes
  // itself to the image when it starts, so its own size here only needs to hold the controls.
  static const platform::DialogTable table{
      "",
      340,
      105,
      {
          {id::kClose, ControlKind::kPushButton, "&Cancel", 15, 80, 70, 14},
          {id::kPreviewFrame, ControlKind::kFrame, "", 95, 5, 240, 95, 0, nullptr, "Image"},
          {id::kSaveBmp, ControlKind::kPushButton, "Save as &BMP", 15, 10, 70, 14},
          {0, ControlKind::kGroupBox, "JPEG quality", 15, 40, 70, 35},
          {id::kSaveJpg, ControlKind::kPushButton, "Save as &JPG", 15, 25, 70, 14},
          {id::kQualitySlider, ControlKind::kHorizontalTrackbar, "", 20, 50, 60, 15, 0, nullptr, "JPEG quality"},
          {id::kQualityLabel, ControlKind::kStaticText, "100%", 39, 65, 24, 8},
          {id::kButtonGroup, ControlKind::kGroupBox, "", 10, 0, 80, 100},
      }};
  return table;
}

}  // namespace orvel::dialogs
