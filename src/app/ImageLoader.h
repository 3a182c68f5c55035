#pragma once
// Loading a slice or preview file by the type its extension names.
#include <string>

#include "image/SliceImage.h"

namespace orvel {

enum ImageType : int { kOtherImage = 0, kBmpImage = 1000, kJpegImage = 2000, kTiffImage = 3000 };

// The type from the text after the last dot of path, ASCII case ignored; jpeg and tiff are not
// recognised, nor an empty extension.
int ImageTypeFromExtension(const std::string& path);

enum class LoadStatus {
  kLoaded,
  kUnknownType,  // the extension is none of bmp, jpg, tif: nothing is loaded
  kCannotOpen,   // the file could not be opened (the viewer skips it silently)
  kReadFailed,   // the reader refused the file; it has shown its own message where it has one
};

// Reads path into image with the reader its extension selects. The image is left empty, never
// holding the previous picture, unless the result is kLoaded (a reader may leave a partial image).
LoadStatus LoadImageFile(const std::string& path, SliceImage& image);

}  // namespace orvel
