#pragma once
// Image outputs of the command-line tool: the format follows the extension, ASCII case ignored.
#include <string>

#include "image/SliceImage.h"

namespace orvel::cli {

enum class OutputFormat { kUnknown, kBmp, kJpeg };

OutputFormat OutputFormatOf(const std::string& path);

// Writes image to path as BMP or JPEG (quality 0..100); throws SectionFailure when the format is
// unknown or the file could not be written, in which case nothing new is left at path.
void SaveImage(const SliceImage& image, const std::string& path, int quality);

}  // namespace orvel::cli
