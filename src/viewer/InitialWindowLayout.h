#pragma once
// The viewer's first window size: the window grows by what the slice needs beyond the template's
// image frame, and its bottom edge reaches at least screen row 570. Where that window would
// reach past the screen's available area, the image frame shrinks, the slice's aspect kept,
// until the whole window, decorations included, fits; a window that fits is left as it was.
#include <QMargins>
#include <QRect>
#include <QSize>

namespace orvel::viewer {

struct WindowLayoutInput {
  QSize slice;           // slice pixels
  QSize client;          // the dialog's client size as built from its template
  QRect frame;           // the image frame in client coordinates, as built
  int anchorBottom = 0;  // the client height reaches at least this (the controls' column)
  QMargins decorations;  // the window manager's frame and caption; none known before the first show
  QRect available;       // the available geometry of the screen the window opens on
};

struct WindowLayout {
  QSize frame;           // the image frame's size
  QSize client;          // the dialog's client size
  QPoint windowTopLeft;  // where the window, decorations included, is placed
};

inline constexpr int kLowestWindowBottom = 570;  // screen row the window's bottom edge reaches at least
inline constexpr int kImageMargin = 10;          // pixels right of and below the image frame

WindowLayout InitialWindowLayout(const WindowLayoutInput& in);

}  // namespace orvel::viewer
