// Handlers still to be built; each moves to the file of its concern when it is.
#include "viewer/ViewerDialog.h"

namespace orvel::viewer {

void ViewerDialog::OnLine() {}
void ViewerDialog::OnRectangle() {}
void ViewerDialog::OnEllipse() {}
void ViewerDialog::On2D() {}
void ViewerDialog::On3D() {}
void ViewerDialog::OnCut() {}
void ViewerDialog::mousePressEvent(QMouseEvent* event) { QDialog::mousePressEvent(event); }
void ViewerDialog::mouseMoveEvent(QMouseEvent* event) { QDialog::mouseMoveEvent(event); }
void ViewerDialog::mouseReleaseEvent(QMouseEvent* event) { QDialog::mouseReleaseEvent(event); }
void ViewerDialog::DrawLineOverlay() {}
void ViewerDialog::DrawRectangleOverlay() {}
void ViewerDialog::DrawEllipseOverlay() {}
void ViewerDialog::DrawRangeMarks() {}
void ViewerDialog::ShowLineResults() {}
void ViewerDialog::ShowAreaResults() {}
void ViewerDialog::SetResultsText(const std::string&) {}
void ViewerDialog::Create3DModel() {}
void ViewerDialog::CutAlongLine() {}
void ViewerDialog::PumpMessages() {}

}  // namespace orvel::viewer
