// The viewer window's construction, start-up sequence, resizing and the three ways it ends.
#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "app/ImageLoader.h"
#include "viewer/GraphView.h"
#include "viewer/InitialWindowLayout.h"
#include "viewer/PreviewView.h"
#include "viewer/SliceView.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerTemplate.h"

// The icon is compiled into the viewer library, whose resources need registering by name.
static void RegisterViewerResources() { Q_INIT_RESOURCE(orvel); }

namespace orvel::viewer {

namespace {

// The frames that paint pictures are widgets of our own; the builder makes the rest.
QWidget* MakeFrameView(const platform::ControlRow& row, QWidget* parent) {
  QFrame* frame = nullptr;
  switch (row.id) {
    case id::kImage: frame = new SliceView(parent); break;
    case id::kPreview: frame = new PreviewView(parent); break;
    case id::kColourBar: frame = new PictureView(parent); break;
    case id::kGraph: frame = new GraphView(parent); break;
    default: return nullptr;
  }
  if (row.flags & platform::control::kSunken) frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return frame;
}

// The results as the box shows them: plain line ends, and none after the last line, which would
// add an empty line and with it a scroll bar to a box that holds four lines.
QString BoxText(const QString& text) {
  QString shown = QString(text).remove(u'\r');
  if (shown.endsWith(u'\n')) shown.chop(1);
  return shown;
}

}  // namespace

ViewerDialog::ViewerDialog(const Dataset& dataset, QWidget* parent)
    : QDialog(parent),
      m_slicePaths(dataset.slicePaths),
      m_sliceTitles(dataset.sliceTitles),
      m_sliceNumbers(dataset.sliceNumbers),
      m_previewPath(dataset.previewPath),
      m_previewKind(dataset.previewKind),
      m_sliceSpacing(dataset.SliceSpacing()),
      m_settings(SettingsFilePath()),
      m_sampleWindow(dataset.slicePaths),
      m_playback(
          m_slicePaths, m_sampleWindow, [this] { OnPlaybackTimer(); },
          [this](int slice) { ShowNextPlaybackSlice(slice); }) {
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  m_controls = platform::BuildDialog(this, ViewerTemplate(), MakeFrameView);
  m_bottomLimitSlider = qobject_cast<QSlider*>(Control(id::kBottomLimit));
  m_topLimitSlider = qobject_cast<QSlider*>(Control(id::kTopLimit));
  m_upperLevelSlider = qobject_cast<QSlider*>(Control(id::kUpperLevel));
  m_lowerLevelSlider = qobject_cast<QSlider*>(Control(id::kLowerLevel));
  m_sliceSlider = qobject_cast<QSlider*>(Control(id::kSliceSelector));
  m_speedSlider = qobject_cast<QSlider*>(Control(id::kSpeed));
  m_sliceView = static_cast<SliceView*>(Control(id::kImage));
  m_sliceView->setFocusPolicy(Qt::ClickFocus);  // for the zoom keys; Tab passes it by
  m_previewView = static_cast<PreviewView*>(Control(id::kPreview));
  m_colourBarView = static_cast<PictureView*>(Control(id::kColourBar));
  m_graphView = static_cast<GraphView*>(Control(id::kGraph));
  RegisterViewerResources();
  m_icon = QIcon(QStringLiteral(":/orvel/orvel.svg"));
  ConnectHandlers();
}

ViewerDialog::~ViewerDialog() = default;

void ViewerDialog::ConnectHandlers() {
  auto onClick = [this](int controlId, void (ViewerDialog::*handler)()) {
    connect(Button(controlId), &QAbstractButton::clicked, this, [this, controlId, handler] {
      if (!m_controls.RadioGroupOf(controlId).empty()) platform::CheckRadioButton(m_controls, controlId);
      (this->*handler)();
    });
  };
  onClick(id::kExit, &ViewerDialog::OnExit);
  onClick(id::kStart, &ViewerDialog::OnStart);
  onClick(id::kStop, &ViewerDialog::OnStop);
  onClick(id::kOriginal, &ViewerDialog::OnOriginal);
  onClick(id::kGreyscale, &ViewerDialog::OnGreyscale);
  onClick(id::kColour1, &ViewerDialog::OnColour1);
  onClick(id::kColour2, &ViewerDialog::OnColour2);
  onClick(id::kBinary, &ViewerDialog::OnBinary);
  onClick(id::kInvert, &ViewerDialog::OnInvert);
  onClick(id::kLine, &ViewerDialog::OnLine);
  onClick(id::kRectangle, &ViewerDialog::OnRectangle);
  onClick(id::kEllipse, &ViewerDialog::OnEllipse);
  onClick(id::kCut, &ViewerDialog::OnCut);
  onClick(id::kSizeDistribution, &ViewerDialog::On2D);
  onClick(id::kModel3D, &ViewerDialog::On3D);
  // Slider handlers run on what the user does (mouse, keyboard, assistive technology); the
  // program sets positions through SetSliderPosition, which holds the signals off. The end of a
  // drag notifies too, so that taking hold of the selector's thumb stops playback even when the
  // thumb comes back to where it was.
  for (int controlId : {id::kSliceSelector, id::kBottomLimit, id::kTopLimit}) {
    auto* slider = qobject_cast<QSlider*>(Control(controlId));
    connect(slider, &QSlider::valueChanged, this, [this, controlId] { OnVerticalScroll(controlId); });
    connect(slider, &QSlider::sliderReleased, this, [this, controlId] { OnVerticalScroll(controlId); });
  }
  for (int controlId : {id::kSpeed, id::kLowerLevel, id::kUpperLevel})
    connect(qobject_cast<QSlider*>(Control(controlId)), &QSlider::valueChanged, this,
            [this, controlId] { OnHorizontalScroll(controlId); });
}

void ViewerDialog::InitialiseViewer() {
  ShowFields();
  setWindowIcon(m_icon);
  m_lineTool = m_rectangleTool = m_ellipseTool = false;
  m_startGrabbed = m_stopGrabbed = m_sizeDistributionMode = false;
  m_colourBar.Create(256, 10, 8, false);
  for (int row = 0; row < 10; ++row)
    for (int x = 0; x < 256; ++x) m_colourBar.SetPixel(x, row, static_cast<std::uint8_t>(x));
  m_sliceCount = static_cast<int>(m_slicePaths.size());

  if (m_previewKind == kVolumePreview)
    HideControls(
        {id::kSelectionGroup, id::kLine, id::kRectangle, id::kEllipse, id::kCut, id::kBottomLimit, id::kTopLimit});
  // Hidden or not, the selector names only slices the dataset has.
  SetSliderRange(m_sliceSlider, 0, m_sliceCount - 1);
  SetSliderToSlice(m_sliceSlider, 0);
  if (m_sliceCount < 2) {
    HideControls({id::kSliceSelector, id::kSpeed, id::kStart, id::kStop, id::kFastLabel, id::kSlowLabel, id::kLine,
                  id::kBottomLimit, id::kTopLimit, id::kModel3D, id::kCut});
  } else {
    SetSliderRange(m_speedSlider, 0, 1000);
    SetSliderPosition(m_speedSlider, 0);
    m_speedSlider->setSingleStep(50);
    m_speedSlider->setPageStep(100);
    m_speedSlider->setTickInterval(100);
    SetChecked(id::kStart, false);
    SetChecked(id::kStop, true);
  }
  m_previewWidth = m_previewView->contentsRect().width();
  m_previewHeight = m_previewView->contentsRect().height();
  m_previewOffsetX = m_previewOffsetY = 0;
  if (!m_previewPath.empty()) LoadImageFile(m_previewPath, m_preview);
  FitPreview();

  OnOriginal();
  m_palette = analysis::kOriginalPalette;
  ShowFields();
  m_layoutAnchorId = m_sliceCount < 2 && m_preview.IsEmpty() ? id::kPaletteGroup : id::kPreview;

  LoadImageFile(m_slicePaths.front(), m_slice, &m_sampleWindow);
  m_imageWidth = m_slice.GetWidth();
  m_imageHeight = m_slice.GetHeight();
  if (m_slice.GetColourCount() != 256)
    // clang-format off
    HideControls({id::kColourBar, id::kLine, id::kBottomLimit, id::kTopLimit, id::kSizeDistribution, id::kModel3D,
                  id::kCut, id::kRectangle, id::kEllipse, id::kSelectionGroup, id::kProcessingGroup,
                  id::kResultsGroup, id::kGreyscale, id::kBinary, id::kColour1, id::kColour2,
                  id::kLowerLevelCaption, id::kUpperLevelCaption, id::kInvert, id::kResults});
  // clang-format on
  const LinePoints points = ReadLinePoints(m_settings, m_imageWidth, m_imageHeight);
  m_startPoint = points.start;
  m_stopPoint = points.stop;
  ShowFields();
  SetInitialWindowSize();
  SetCaption(SliceTitleWithExtension(0));

  const int colours = m_slice.GetColourCount();
  SetSliderRange(m_lowerLevelSlider, 0, colours - 1);
  SetSliderPosition(m_lowerLevelSlider, m_slice.GetLowerLevel());
  SetSliderRange(m_upperLevelSlider, 1, 2 * colours - 2);
  SetSliderPosition(m_upperLevelSlider, m_slice.GetUpperLevel());
  SetEnabled(id::kLowerLevel, false);
  SetEnabled(id::kUpperLevel, false);
  for (QSlider* limit : {m_bottomLimitSlider, m_topLimitSlider}) SetSliderRange(limit, 0, m_sliceCount - 1);
  SetSliderToSlice(m_bottomLimitSlider, 0);
  SetSliderToSlice(m_topLimitSlider, m_sliceCount - 1);
  for (int controlId : {id::kCut, id::kSizeDistribution, id::kModel3D}) SetEnabled(controlId, false);

  // The window shows the first slice before anything else happens, even without playback.
  Redraw();
  if (m_sliceCount > 1) {
    repaint();
    m_playback.StartReadingAhead();
    OnStart();  // playback starts by itself
  }
}

// Fits the preview into frame 1036 with its aspect kept, centred across the shorter side.
void ViewerDialog::FitPreview() {
  const int width = m_preview.IsEmpty() ? 0 : m_preview.GetWidth();
  const int height = m_preview.IsEmpty() ? 0 : m_preview.GetHeight();
  if (width > height) {
    const int drawnHeight = static_cast<int>(static_cast<double>(m_previewWidth) / width * height);
    m_previewOffsetY = (m_previewHeight - drawnHeight) / 2;
    m_previewHeight = drawnHeight;
  } else if (width < height) {
    const int drawnWidth = static_cast<int>(static_cast<double>(m_previewHeight) / height * width);
    m_previewOffsetX = (m_previewWidth - drawnWidth) / 2;
    m_previewWidth = drawnWidth;
  }
}

// The first window size for the decorations known now (none before the window is shown), from
// the window as its template built it; the resize that follows fits the frame.
void ViewerDialog::LayOutWindow(const QMargins& decorations) {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  WindowLayoutInput input = m_templateLayout;
  input.decorations = decorations;
  input.available = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
  const WindowLayout layout = InitialWindowLayout(input);
  move(layout.windowTopLeft);
  QWidget* frame = Control(id::kImage);
  frame->setGeometry(frame->x(), frame->y(), layout.frame.width(), layout.frame.height());
  resize(layout.client);
  FitImageFrame(width(), height());
  m_laidOutSize = size();
}

void ViewerDialog::SetInitialWindowSize() {
  const QRect anchor = Control(m_layoutAnchorId)->geometry();
  m_templateLayout.slice = QSize(m_imageWidth, m_imageHeight);
  m_templateLayout.client = size();
  m_templateLayout.frame = Control(id::kImage)->geometry();
  m_templateLayout.anchorBottom = anchor.top() + anchor.height();
  LayOutWindow(FrameMargins());
}

// The window manager's frame around the client area; none before it has framed the window.
QMargins ViewerDialog::FrameMargins() const {
  const QRect outer = frameGeometry(), inner = geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// Qt learns the frame a window manager puts round the window only after it has been shown, and
// the manager may take a moment: the first layout is checked again with the real frame, a few
// times over the first second, and done again only when the window reaches past the screen.
void ViewerDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (m_screenChecksLeft < 0) {
    m_screenChecksLeft = 10;
    QTimer::singleShot(0, this, [this] { KeepWindowOnScreen(); });
  }
}

void ViewerDialog::KeepWindowOnScreen() {
  const QScreen* screen = this->screen();
  // A window the user has resized since is theirs.
  if (!screen || !isVisible() || size() != m_laidOutSize) return;
  const QMargins decorations = FrameMargins();
  if (!screen->availableGeometry().contains(frameGeometry())) LayOutWindow(decorations);
  // Until the manager's frame is known, look again.
  if (decorations.isNull() && --m_screenChecksLeft > 0) QTimer::singleShot(100, this, [this] { KeepWindowOnScreen(); });
}

// The image frame keeps its top-left corner and the slice's aspect, 10 pixels short of the
// client area's right and bottom edges.
void ViewerDialog::FitImageFrame(int clientWidth, int clientHeight) {
  QWidget* frame = Control(id::kImage);
  if (!frame || !Control(m_layoutAnchorId)) return;
  const int availableWidth = clientWidth - kImageMargin - frame->x();
  const int availableHeight = clientHeight - kImageMargin - frame->y();
  const float aspect = m_imageHeight == 0 ? 1.0f : static_cast<float>(m_imageWidth) / m_imageHeight;
  int fittedWidth = availableWidth;
  int fittedHeight = static_cast<int>(availableWidth / aspect);
  if (availableHeight < fittedHeight) {
    fittedHeight = availableHeight;
    fittedWidth = static_cast<int>(aspect * availableHeight);
  }
  frame->setGeometry(frame->x(), frame->y(), std::max(fittedWidth, 0), std::max(fittedHeight, 0));
  ShowSliceRegion();  // the zoom and the slice point at the frame's centre stay; the figure follows
}

void ViewerDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitImageFrame(width(), height());
}

void ViewerDialog::OnExit() {
  OnStop();
  WriteLinePointsToSettings();
  ReadControls();
  accept();
}

void ViewerDialog::closeEvent(QCloseEvent* event) {
  OnStop();
  WriteLinePointsToSettings();
  QDialog::closeEvent(event);
}

// Escape ends the window without stopping playback or writing the line points. A cut or 3D run
// still going on is stopped first, as "Stop" stops it: it ends only when it sees playback stopped,
// and must not go on behind a window that is gone.
void ViewerDialog::reject() {
  if (m_sliceRunGoesOn) OnStop();
  QDialog::reject();
}

void ViewerDialog::WriteLinePointsToSettings() { WriteLinePoints(m_settings, {m_startPoint, m_stopPoint}); }

void ViewerDialog::HideControls(std::initializer_list<int> ids) {
  for (int controlId : ids) SetShown(controlId, false);
}

// The data exchange of the three button groups whose state the handlers keep in fields.
void ViewerDialog::ReadControls() {
  m_invert = Button(id::kInvert)->isChecked();
  const int palette[] = {id::kGreyscale, id::kColour1, id::kColour2, id::kBinary, id::kOriginal};
  for (int index = 0; index < 5; ++index)
    if (Button(palette[index])->isChecked()) m_palette = index;
  if (Button(id::kStop)->isChecked()) m_play = false;
  if (Button(id::kStart)->isChecked()) m_play = true;
}

void ViewerDialog::ShowFields() {
  SetChecked(id::kInvert, m_invert);
  const int palette[] = {id::kGreyscale, id::kColour1, id::kColour2, id::kBinary, id::kOriginal};
  for (int index = 0; index < 5; ++index) SetChecked(palette[index], index == m_palette);
  SetChecked(id::kStop, !m_play);
  SetChecked(id::kStart, m_play);
}

void ViewerDialog::SetChecked(int controlId, bool checked) {
  QAbstractButton* button = Button(controlId);
  const QSignalBlocker hold(button);
  button->setChecked(checked);
}

void ViewerDialog::SetEnabled(int controlId, bool enabled) { Control(controlId)->setEnabled(enabled); }

void ViewerDialog::SetShown(int controlId, bool shown) { Control(controlId)->setVisible(shown); }

void ViewerDialog::SetText(int controlId, const std::string& text) {
  QWidget* control = Control(controlId);
  const QString qtext = QString::fromStdString(text);
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(qtext);
  else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) edit->setPlainText(BoxText(qtext));
}

void ViewerDialog::SetSliderPosition(QSlider* slider, int position) {
  const QSignalBlocker hold(slider);
  slider->setValue(position);
}

// A trackbar's page is a fifth of its range unless set otherwise.
void ViewerDialog::SetSliderRange(QSlider* slider, int minimum, int maximum) {
  const QSignalBlocker hold(slider);
  slider->setRange(minimum, maximum);
  slider->setPageStep(std::max(1, (maximum - minimum) / 5));
}

// A dataset of 16-bit or float slices names the window its pixels went through.
void ViewerDialog::SetCaption(const std::string& caption) {
  const std::optional<SampleWindow> window = m_sampleWindow.Current();
  const std::string shown = window ? caption + " [window " + WindowText(*window) + "]" : caption;
  setWindowTitle(QString::fromStdString(shown));
}

std::string ViewerDialog::SliceTitleWithExtension(int index) const {
  const std::string& path = m_slicePaths[index];
  if (ImageTypeFromExtension(path) == kOtherImage) return m_sliceTitles[index];
  std::string extension = path.substr(path.rfind('.'));
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return m_sliceTitles[index] + extension;
}

}  // namespace orvel::viewer
