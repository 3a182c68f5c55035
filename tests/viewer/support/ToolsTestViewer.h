#pragma once
// What the selection-tool tests share: datasets made by orvel-phantom or written here, the viewer
// opened on one as the program opens it, mouse drags over its image frame, and orvel-analyze's
// results for the same selection.
#include <QJsonObject>
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <memory>
#include <string>

#include "app/SettingsFile.h"
#include "viewer/ViewerDialog.h"
#include "viewer/support/Controls.h"
#include "viewer/support/FakeDialogs.h"

namespace orvel::test {

// A porous phantom dataset written by orvel-phantom into directory; returns its first slice.
std::string MakePhantomDataset(const std::string& directory, const QStringList& options);

// count BMP slices of width x height pixels without a resolution (so lengths are in pixels); pixel
// (x, y) of slice k holds (3x + 7y + 11k) mod 256. Returns the first slice.
std::string MakeGradientDataset(const std::string& directory, int width, int height, int count);

// orvel-analyze's JSON value of section ("line", "area") for the arguments.
QJsonObject AnalyzeSection(const QStringList& arguments, const QString& section);
// Its "text" member: the block exactly as the results box holds it ("\r\n" line ends).
std::string AnalyzeText(const QStringList& arguments, const QString& section);

// Points the settings file at a folder of the test's own (once per process) and writes the
// selection points the next viewer reads at start-up.
void WriteSelectionPoints(PixelPoint start, PixelPoint stop);

// "X0,Y0,X1,Y1" of the points, as orvel-analyze takes them.
QString PointsArgument(const LinePoints& points);

// The viewer on the dataset of slicePath, with its dialogs answered by the test, started as the
// program starts it, then stopped so the first slice stays on display, and shown with the given
// window size.
class ToolsViewer {
 public:
  ToolsViewer(const std::string& slicePath, QSize size);
  ~ToolsViewer();
  viewer::ViewerDialog& Dialog() { return *m_dialog; }
  FakeDialogs dialogs;  // made before the viewer and put back after it

  void Click(int controlId) { test::Click(*m_dialog, controlId); }
  void MoveSlider(int controlId, int position) { test::MoveSlider(*m_dialog, controlId, position); }

  // Resizes the window so that one slice pixel takes exactly that many screen pixels.
  void SetScale(int screenPixels);
  // Screen pixels per slice pixel: the image frame's client width over the slice width, zoomed.
  double Scale() const;
  // The dialog point at image position (u, v) in the part of the slice shown, rounded toward the
  // image's top-left corner.
  QPoint DialogPointAt(double u, double v) const;
  // The dialog point over the middle of image pixel (x, y).
  QPoint DialogPointOver(PixelPoint pixel) const { return DialogPointAt(pixel.x + 0.5, pixel.y + 0.5); }
  // The image pixel under a dialog point.
  PixelPoint PixelUnder(QPoint dialogPoint) const;

  // Left-button press, moves through the points, release at the last, all on the dialog.
  void Drag(QPoint from, std::initializer_list<QPoint> path);
  // The mouse wheel turned by eighths of a degree (120 a notch, up when positive) at a dialog point.
  void Wheel(QPoint at, int eighths, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

 private:
  QPoint FrameOrigin() const;  // the image frame's client origin in dialog coordinates

  std::unique_ptr<viewer::ViewerDialog> m_dialog;
  int m_imageWidth = 0;
};

}  // namespace orvel::test
