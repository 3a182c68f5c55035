#pragma once
// The scanner's own TIFF layout written back, so that demos, tests and benchmarks can make the
// files the scanner makes without one.
#include <string>

#include "image/SliceImage.h"

namespace orvel {

// Writes an 8-bit grey image in the scanner's TIFF layout (header with the maker's name, pixels
// from offset 16, 13 directory entries, resolution per inch).
bool WriteScannerTiff(const SliceImage& image, const std::string& path);

}  // namespace orvel
