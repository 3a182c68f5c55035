#include "viewer/InitialWindowLayout.h"

#include <algorithm>

namespace orvel::viewer {

namespace {

// The slice size, or less with its aspect kept so that it fits in room; never less than a pixel.
QSize FrameWithin(QSize slice, QSize room) {
  if (slice.width() <= room.width() && slice.height() <= room.height()) return slice;
  const double scale = std::min(static_cast<double>(room.width()) / std::max(slice.width(), 1),
                                static_cast<double>(room.height()) / std::max(slice.height(), 1));
  return {std::max(1, static_cast<int>(slice.width() * scale)), std::max(1, static_cast<int>(slice.height() * scale))};
}

}  // namespace

WindowLayout InitialWindowLayout(const WindowLayoutInput& in) {
  const QMargins& frameOf = in.decorations;
  const int restWidth = in.client.width() - in.frame.width() + frameOf.left() + frameOf.right();
  const int restHeight = in.client.height() - in.frame.height() + frameOf.top() + frameOf.bottom();
  WindowLayout layout;
  layout.windowTopLeft = in.available.topLeft();
  int height = 0;
  if (in.slice.width() <= in.available.width() - restWidth && in.slice.height() <= in.available.height() - restHeight) {
    // It fits: the window grows by what the slice needs beyond the template's frame.
    layout.frame = in.slice;
    height = in.client.height() + std::max(in.slice.height(), in.anchorBottom) - in.frame.height();
  } else {
    // Too large: the frame takes the whole height the screen leaves it, down to its margin, and
    // the window ends there, or below the controls where they reach further.
    const int roomHeight = in.available.height() - frameOf.top() - frameOf.bottom() - in.frame.y() - kImageMargin;
    layout.frame = FrameWithin(in.slice, QSize(in.available.width() - restWidth, roomHeight));
    height = std::max(in.frame.y() + layout.frame.height() + kImageMargin,
                      in.client.height() + in.anchorBottom - in.frame.height());
  }
  // The bottom edge in screen rows, where the window's frame ends.
  const int bottom = layout.windowTopLeft.y() + frameOf.top() + height + frameOf.bottom();
  if (bottom < kLowestWindowBottom) height += kLowestWindowBottom - bottom;
  layout.client = QSize(in.client.width() + layout.frame.width() - in.frame.width(), height);
  return layout;
}

}  // namespace orvel::viewer
