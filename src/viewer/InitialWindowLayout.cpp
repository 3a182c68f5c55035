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
  // What the window takes besides the frame, across and down, decorations included.
  const int restWidth = in.client.width() - in.frame.width() + in.decorations.left() + in.decorations.right();
  const int restHeight = in.client.height() - in.frame.height() + in.decorations.top() + in.decorations.bottom();
  const QSize room(in.available.width() - restWidth, in.available.height() - restHeight);
  WindowLayout layout;
  layout.frame = FrameWithin(in.slice, room);
  layout.windowTopLeft = in.available.topLeft();
  const int neededHeight = std::max(layout.frame.height(), in.anchorBottom);
  int height = in.client.height() + neededHeight - in.frame.height();
  // The bottom edge in screen rows, where the window's frame ends.
  const int bottom = layout.windowTopLeft.y() + in.decorations.top() + height + in.decorations.bottom();
  if (bottom < kLowestWindowBottom) height += kLowestWindowBottom - bottom;
  layout.client = QSize(in.client.width() + layout.frame.width() - in.frame.width(), height);
  return layout;
}

}  // namespace orvel::viewer
