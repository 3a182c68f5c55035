// Handlers still to be built; each moves to the file of its concern when it is.
#include "viewer/ViewerDialog.h"

namespace orvel::viewer {

void ViewerDialog::On3D() {}
void ViewerDialog::OnCut() {}
void ViewerDialog::Create3DModel() {}
void ViewerDialog::CutAlongLine() {}
void ViewerDialog::PumpMessages() {}

}  // namespace orvel::viewer
