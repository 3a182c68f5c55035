#pragma once
// Paints a slice image the way the original platform's stretched blit does: the unchanged pixel
// indices through the image's current colour table, nearest-neighbour, storage rows bottom-up.
#include <QRect>

class QPainter;

namespace orvel {
class SliceImage;
}

namespace orvel::platform {

// Stretches image over target; an empty image paints nothing.
void PaintSliceImage(QPainter& painter, const SliceImage& image, const QRect& target);

}  // namespace orvel::platform
