#pragma once
// Loading a slice or preview file by the type its extension names.
#include <optional>
#include <string>
#include <vector>

#include "image/SliceImage.h"

namespace orvel {

class DatasetWindow;

enum ImageType : int { kOtherImage = 0, kBmpImage = 1000, kJpegImage = 2000, kTiffImage = 3000, kPngImage = 4000 };

// The type from the text after the last dot of path, ASCII case ignored: bmp; jpg or jpeg; tif
// or tiff; png. Anything else, an empty extension too, is no image.
int ImageTypeFromExtension(const std::string& path);

enum class LoadStatus {
  kLoaded,
  kUnknownType,  // the extension is none of the image types: nothing is loaded
  kCannotOpen,   // the file could not be opened (the viewer skips it silently)
  kReadFailed,   // the reader refused the file; it has shown its own message where it has one
};

// Reads path into image with the reader its extension selects; a TIFF file with the scanner's
// maker field goes to the scanner's reader, any other TIFF and PNG to the libraries' readers,
// whose deep samples map through window (the file's own automatic window without one). The
// image is left empty, never holding the previous picture, unless the result is kLoaded (a reader
// may leave a partial image).
LoadStatus LoadImageFile(const std::string& path, SliceImage& image, DatasetWindow* window = nullptr);

// The deep samples of a TIFF or PNG file that holds 16-bit or float samples; empty for any other
// file, or one that cannot be read. Shows nothing.
std::optional<std::vector<float>> ReadDeepSamples(const std::string& path);

}  // namespace orvel
