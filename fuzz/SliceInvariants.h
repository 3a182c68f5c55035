#pragma once
// What every image a reader accepted must satisfy, whatever the file held.
#include "image/SliceImage.h"

namespace orvel::fuzz {

// The layout is consistent and every pixel and palette entry can be read: sizes are positive, the
// pixel buffer holds every row, the colour table fits its block, and the display palette exists.
void CheckAcceptedImage(const SliceImage& image);

}  // namespace orvel::fuzz
