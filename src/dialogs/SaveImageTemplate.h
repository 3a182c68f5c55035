#pragma once
// The save image dialog's template and its control identifiers.
#include "platform/qt/DialogTemplate.h"

namespace orvel::dialogs {

namespace id {
// 1 and 2 are the platform's OK and cancel commands: Enter closes the dialog, Escape saves a BMP.
constexpr int kClose = 1, kSaveBmp = 2, kSaveJpg = 3;
constexpr int kPreviewFrame = 1053, kQualitySlider = 1099, kButtonGroup = 1100, kQualityLabel = 1104;
}  // namespace id

const platform::DialogTable& SaveImageTemplate();

}  // namespace orvel::dialogs
