#include "image/SliceImage.h"

// JPEG reading and writing go through the codec; until it lands, JPEG files do not open.
namespace orvel {

bool SliceImage::ReadJpeg(const std::string&) {
  Clear();
  return false;
}

bool SliceImage::WriteJpeg(const std::string&, int) const { return false; }

}  // namespace orvel
