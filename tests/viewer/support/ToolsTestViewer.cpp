#include "viewer/support/ToolsTestViewer.h"

#include <QFrame>
#include <QJsonDocument>
#include <QProcess>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/DatasetDiscovery.h"
#include "app/ImageLoader.h"
#include "platform/File.h"
#include "support/SliceBuilder.h"
#include "support/TestSupport.h"
#include "viewer/ViewerTemplate.h"

namespace orvel::test {

namespace {

QString BuiltProgram(const char* name) {
  const char* directory = std::getenv("ORVEL_BIN_DIR");
  return QString::fromUtf8(directory ? directory : ".") + QLatin1Char('/') + QLatin1String(name);
}

QByteArray RunProgram(const char* name, const QStringList& arguments) {
  QProcess process;
  process.start(BuiltProgram(name), arguments);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    qFatal("%s %s failed: %s", name, qPrintable(arguments.join(u' ')), process.readAllStandardError().constData());
  return process.readAllStandardOutput();
}

std::string FirstSliceIn(const std::string& directory) {
  std::string first;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    const std::string path = entry.path().string();
    if (path.find("_SPR") == std::string::npos && path.find("_VPR") == std::string::npos &&
        (first.empty() || path < first))
      first = path;
  }
  return first;
}

}  // namespace

std::string MakePhantomDataset(const std::string& directory, const QStringList& options) {
  RunProgram("orvel-phantom", QStringList{QString::fromStdString(directory)} + options);
  return FirstSliceIn(directory);
}

std::string MakeGradientDataset(const std::string& directory, int width, int height, int count) {
  for (int k = 0; k < count; ++k) {
    const SliceImage slice = MakeSlice(width, height, [k](int x, int y) { return 3 * x + 7 * y + 11 * k; });
    char name[32];
    std::snprintf(name, sizeof name, "/grad%04d.bmp", k);
    platform::OutputFile file;
    if (!file.Create(directory + name) || !slice.WriteBmp(file) || !file.Commit()) qFatal("cannot write %s", name);
  }
  return FirstSliceIn(directory);
}

QJsonObject AnalyzeSection(const QStringList& arguments, const QString& section) {
  const QByteArray output = RunProgram("orvel-analyze", arguments + QStringList{"--json"});
  return QJsonDocument::fromJson(output).object().value(section).toObject();
}

std::string AnalyzeText(const QStringList& arguments, const QString& section) {
  return AnalyzeSection(arguments, section).value("text").toString().toStdString();
}

void WriteSelectionPoints(PixelPoint start, PixelPoint stop) {
  static const SettingsFolder settingsFolder;
  platform::IniFile settings(SettingsFilePath());
  WriteLinePoints(settings, {start, stop});
}

QString PointsArgument(const LinePoints& points) {
  return QStringLiteral("%1,%2,%3,%4").arg(points.start.x).arg(points.start.y).arg(points.stop.x).arg(points.stop.y);
}

ToolsViewer::ToolsViewer(const std::string& slicePath, QSize size) {
  Dataset dataset;
  if (OpenDatasetFromPath(slicePath, dataset) != DiscoveryResult::kFound) qFatal("no dataset at %s", slicePath.c_str());
  SliceImage first;
  LoadImageFile(dataset.slicePaths.front(), first);
  m_imageWidth = first.GetWidth();
  m_dialog = std::make_unique<viewer::ViewerDialog>(dataset);
  m_dialog->InitialiseViewer();
  m_dialog->show();
  if (m_dialog->Control(viewer::id::kStop)->isEnabled()) Click(viewer::id::kStop);
  m_dialog->resize(size);
  QCoreApplication::processEvents();
}

ToolsViewer::~ToolsViewer() = default;

QPoint ToolsViewer::FrameOrigin() const {
  const auto* frame = qobject_cast<const QFrame*>(m_dialog->Control(viewer::id::kImage));
  return frame->mapTo(m_dialog.get(), frame->contentsRect().topLeft());
}

void ToolsViewer::SetScale(int screenPixels) {
  const auto* frame = qobject_cast<const QFrame*>(m_dialog->Control(viewer::id::kImage));
  const int widthChange = screenPixels * m_imageWidth - frame->contentsRect().width();
  m_dialog->resize(m_dialog->width() + widthChange, m_dialog->height() + 4 * widthChange);
  QCoreApplication::processEvents();
  if (frame->contentsRect().width() != screenPixels * m_imageWidth)
    qFatal("the window cannot take scale %d", screenPixels);
}

double ToolsViewer::Scale() const {
  const auto* frame = qobject_cast<const QFrame*>(m_dialog->Control(viewer::id::kImage));
  // Single precision, as the viewer holds its display scale.
  return static_cast<float>(frame->contentsRect().width()) / static_cast<float>(m_imageWidth) *
         static_cast<float>(m_dialog->Viewport().Zoom());
}

QPoint ToolsViewer::DialogPointAt(double u, double v) const {
  const QPointF origin = m_dialog->Viewport().Origin();
  return FrameOrigin() + QPoint(static_cast<int>(std::floor((u - origin.x()) * Scale())),
                                static_cast<int>(std::floor((v - origin.y()) * Scale())));
}

void ToolsViewer::Wheel(QPoint at, int eighths, Qt::KeyboardModifiers modifiers) {
  QWheelEvent event(at, m_dialog->mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton, modifiers,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(m_dialog.get(), &event);
}

PixelPoint ToolsViewer::PixelUnder(QPoint dialogPoint) const {
  const QPointF pixel = m_dialog->Viewport().SlicePoint(QPointF(dialogPoint - FrameOrigin()));
  return {static_cast<int>(pixel.x()), static_cast<int>(pixel.y())};
}

void ToolsViewer::Drag(QPoint from, std::initializer_list<QPoint> path) {
  QTest::mousePress(m_dialog.get(), Qt::LeftButton, {}, from);
  QPoint last = from;
  for (QPoint point : path) {
    QTest::mouseMove(m_dialog.get(), point);
    last = point;
  }
  QTest::mouseRelease(m_dialog.get(), Qt::LeftButton, {}, last);
}

}  // namespace orvel::test
