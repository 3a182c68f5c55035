#pragma once
// Saving a slice image as a BMP file as a whole: create beside the target, write, then replace.
#include <string>

#include "image/SliceImage.h"

namespace orvel {

// Writes image to path; on any failure shows "write error", leaves an existing file at path
// untouched and returns false.
bool SaveBmpFile(const SliceImage& image, const std::string& path);

// Decodes run-length encoded BMP pixels (compression 1 = 8-bit runs, 2 = 4-bit runs) into the
// bottom-up rows of pixels (rowBytes each, height rows). Runs and moves that leave the picture are
// clipped, however many there are; what the data does not reach stays as it was.
void DecodeBmpRunLength(const std::uint8_t* data, std::size_t size, int compression, int width, int height,
                        int rowBytes, std::uint8_t* pixels);

}  // namespace orvel
