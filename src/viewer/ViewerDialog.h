#pragma once
// The viewer window: the one owner of all viewer state, with a handler per control and one
// Redraw that every handler ends with. Split into files by concern:
//   ViewerLayout.cpp    construction, InitialiseViewer, resizing, Exit / close / Escape
//   ViewerPlayback.cpp  Start, Stop, the playback step, the slice selector and limit sliders
//                       (Playback holds the timer, the pauses and the read-ahead)
//   ViewerDisplay.cpp   Redraw, the palette buttons, Invert, the level sliders
//   ViewerTools.cpp     the selection tools, their overlays, the range marks
//   ViewerMouse.cpp     dragging the two points of the selection
//   ViewerResults.cpp   the line and area results and their graphs, "2D"
//   ViewerLongRuns.cpp  "3D" and "Cut", which read the slices of the range one by one
// Handlers stay thin: what they compute comes from the core (app, image, analysis).
#include <QDialog>
#include <QIcon>
#include <QMargins>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "app/Dataset.h"
#include "app/DatasetWindow.h"
#include "app/ImageLoader.h"
#include "app/SettingsFile.h"
#include "image/SliceImage.h"
#include "platform/qt/DialogTemplate.h"
#include "viewer/InitialWindowLayout.h"
#include "viewer/Playback.h"
#include "viewer/SliceViewport.h"

class QAbstractButton;
class QPointF;
class QSlider;

namespace orvel::analysis {
class ModelBuilder;
}

namespace orvel::viewer {

class SliceView;
class PreviewView;
class PictureView;
class GraphView;

class ViewerDialog : public QDialog {
 public:
  explicit ViewerDialog(const Dataset& dataset, QWidget* parent = nullptr);
  ~ViewerDialog() override;

  // Start-up: everything between building the controls and running the window.
  void InitialiseViewer();

  // Handlers, named after what triggers them.
  void OnExit();
  void OnStart();
  void OnStop();
  void OnPlaybackTimer();
  void OnVerticalScroll(int controlId);
  void OnHorizontalScroll(int controlId);
  void OnOriginal();
  void OnGreyscale();
  void OnColour1();
  void OnColour2();
  void OnBinary();
  void OnInvert();
  void OnLine();
  void OnRectangle();
  void OnEllipse();
  void On2D();
  void On3D();
  void OnCut();
  void Redraw();

  // For tests and the accessibility layer: the control with an identifier, the results text as
  // the core produced it ("\r\n" line ends).
  QWidget* Control(int id) const { return m_controls.Control(id); }
  const std::string& ResultsText() const { return m_resultsText; }
  // For tests and benchmarks: whether a playback pause is under way, and ending it at once as if
  // its time had passed.
  bool PlaybackPausePending() const { return m_playback.PausePending(); }
  void EndPlaybackPauseNow() { m_playback.EndPauseNow(); }
  LinePoints SelectionPoints() const { return {m_startPoint, m_stopPoint}; }
  const SliceViewport& Viewport() const { return m_viewport; }
  int SlicesReadAhead() const { return m_playback.SlicesReadAhead(); }  // read ahead and ready to be shown
  // For tests and benchmarks: slices decoded at once by playback and by the 3D and cut runs
  // instead of one per usable processor. Drops what playback has read ahead.
  void SetDecodeWorkers(int workers);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Escape: the dialog ends without stopping playback or writing the line points; a 3D or cut run
  // still going on is stopped first.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // Layout and lifecycle.
  void ConnectHandlers();
  void FitPreview();
  void SetInitialWindowSize();
  void LayOutWindow(const QMargins& decorations);
  QMargins FrameMargins() const;
  void KeepWindowOnScreen();
  void FitImageFrame(int clientWidth, int clientHeight);
  void HideControls(std::initializer_list<int> ids);
  void WriteLinePointsToSettings();

  // Data exchange between the Invert / palette / Start-Stop controls and their fields.
  void ReadControls();
  void ShowFields();

  // Control helpers; positions set here are the program's and notify no handler.
  QAbstractButton* Button(int id) const { return m_controls.Button(id); }
  void SetChecked(int id, bool checked);
  void SetEnabled(int id, bool enabled);
  void SetShown(int id, bool shown);
  void SetText(int id, const std::string& text);
  void SetSliderPosition(QSlider* slider, int position);
  void SetSliderRange(QSlider* slider, int minimum, int maximum);
  void SetCaption(const std::string& caption);

  // Playback.
  int CurrentSliceIndex() const;
  int SliceIndexAt(const QSlider* slider) const;  // the slice a vertical slider names
  void SetSliderToSlice(QSlider* slider, int index);
  LoadStatus LoadSliceFile(int index);
  std::string SliceTitleWithExtension(int index) const;
  void ShowNextPlaybackSlice(int next);

  // Display.
  void SetLevelLabels(const char* lower, const char* upper);
  void ShowLevelSliders(bool shown);
  void WriteLevelReadouts();
  void ApplyPalette();
  analysis::SliceDisplay CurrentDisplay() const;  // the palette mode, Invert and the level sliders
  void ShowPreviewAndMarks();

  // Tools and results.
  // A 3D or cut run holds the Start state without playback's ticks ("Start" during the run
  // gives the ticks, the handles and the mouse back).
  bool LongRunInProgress() const { return m_play && !m_playback.Running(); }
  void DrawRangeMarks();
  enum class FigureTool { kRectangle, kEllipse };
  void ToggleFigureTool(FigureTool tool);
  void DrawSelectionOverlay();  // the figure of whichever tool is on, or none
  void ShowLevelPalette(const char* lowerCaption, const char* upperCaption);
  void ShowLimitSliders(bool shown);
  bool AnySelectionToolOn() const { return m_lineTool || m_rectangleTool || m_ellipseTool; }
  void UpdateDisplayScale();
  void ShowSlicePicture();
  void ShowSliceRegion();
  QPointF ImagePosition(const QPointF& dialogPoint) const;  // slice pixels, not truncated
  QPointF FramePosition(const QPointF& dialogPoint) const;  // image frame client pixels
  bool MoveGrabbedPoints(const QPointF& imagePoint);        // false outside the dragging band
  void ShowLineResults();
  void ShowAreaResults();
  // What the controls ask of the core now: the tool, its points, the display, range and spacing.
  analysis::AnalysisRequest CurrentRequest() const;
  void SetResultsText(const std::string& text);

  // Long runs.
  void Create3DModel();
  void CutAlongLine();
  void PumpMessages();
  // Reads the slices first .. last into m_slice one per pass (beforeSlice, when given, runs before
  // each read), shows each, hands it to sample and lets pending events through after each. False
  // when it ended early: m_play found false (Stop), or a slice that could not be read.
  bool RunOverSlices(int first, int last, const std::function<void()>& beforeSlice,
                     const std::function<void()>& sample);
  void EnableControls(std::initializer_list<int> ids, bool enabled);
  void ShowModelProgress(const analysis::ModelBuilder& model);

  // State, named as the design names it.
  std::vector<std::string> m_slicePaths;
  std::vector<std::string> m_sliceTitles;
  std::vector<std::uint16_t> m_sliceNumbers;
  std::string m_previewPath;
  SliceImage m_slice;
  SliceImage m_preview;
  SliceImage m_colourBar;
  int m_layoutAnchorId = 0;
  int m_sliceCount = 0;
  int m_imageWidth = 0, m_imageHeight = 0;
  int m_previewWidth = 0, m_previewHeight = 0;
  int m_previewOffsetX = 0, m_previewOffsetY = 0;
  PixelPoint m_startPoint, m_stopPoint;  // slice pixels, y down from the top
  bool m_lineTool = false;
  bool m_startGrabbed = false, m_stopGrabbed = false;
  std::int16_t m_previewKind = 0;
  float m_displayScale = 1.0f;  // screen pixels per slice pixel
  bool m_rectangleTool = false, m_ellipseTool = false;
  bool m_sizeDistributionMode = false;  // "2D": area results and the size distribution
  bool m_redrawBusy = false;
  QSlider* m_bottomLimitSlider = nullptr;
  QSlider* m_topLimitSlider = nullptr;
  QSlider* m_upperLevelSlider = nullptr;
  QSlider* m_lowerLevelSlider = nullptr;
  QSlider* m_sliceSlider = nullptr;
  QSlider* m_speedSlider = nullptr;
  bool m_invert = false;
  int m_palette = 0;    // an analysis::PaletteMode: 0 Greyscale, 1 Colour 1, 2 Colour 2, 3 Binary, 4 Original
  bool m_play = false;  // Start (playback, or a 3D or cut run) rather than Stop
  QIcon m_icon;

  // Our own.
  bool m_sliceRunGoesOn = false;  // a 3D or cut run is reading its slices, whatever m_play says
  int m_sliceSpacing = 1;         // pixel rows or voxel planes one slice stands for
  std::string m_resultsText;
  platform::IniFile m_settings;
  platform::BuiltDialog m_controls;
  DatasetWindow m_sampleWindow;  // how 16-bit and float slices become 8 bits; before playback
  Playback m_playback;           // after the paths and the window, which its read-ahead uses
  int m_decodeWorkers = 0;       // slices decoded at once; 0: one per usable processor
  SliceView* m_sliceView = nullptr;
  PreviewView* m_previewView = nullptr;
  PictureView* m_colourBarView = nullptr;
  GraphView* m_graphView = nullptr;
  SliceViewport m_viewport;  // the part of the slice the image frame shows
  int m_wheelTurn = 0;       // wheel eighths of a degree not yet a whole notch
  bool m_panning = false;    // the picture is held by the mouse
  QPointF m_panFrom;         // where the mouse held it last, dialog pixels
  bool m_spaceHeld = false;  // Space is down while the image frame has the focus
  // The first layout's checks against the window manager's frame; -1 before the first show.
  int m_screenChecksLeft = -1;
  QSize m_laidOutSize;                 // the size the first layout gave the window
  WindowLayoutInput m_templateLayout;  // the window as its template built it, for that layout
};

}  // namespace orvel::viewer
