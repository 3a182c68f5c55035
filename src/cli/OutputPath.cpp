#include "cli/OutputPath.h"

#include "app/ImageLoader.h"
#include "cli/AnalyzeSections.h"
#include "image/BmpFile.h"

namespace orvel::cli {

OutputFormat OutputFormatOf(const std::string& path) {
  switch (ImageTypeFromExtension(path)) {
    case kBmpImage: return OutputFormat::kBmp;
    case kJpegImage: return OutputFormat::kJpeg;
    default: return OutputFormat::kUnknown;
  }
}

void SaveImage(const SliceImage& image, const std::string& path, int quality) {
  switch (OutputFormatOf(path)) {
    case OutputFormat::kBmp:
      if (!SaveBmpFile(image, path)) throw SectionFailure{"cannot write " + path};
      return;
    case OutputFormat::kJpeg:
      if (!image.WriteJpeg(path, quality)) throw SectionFailure{"cannot write " + path};
      return;
    case OutputFormat::kUnknown:
      throw SectionFailure{"cannot write " + path + ": the name must end in .bmp or .jpg"};
  }
}

}  // namespace orvel::cli
