#include "app/ImageLoader.h"

#include <new>

#include "app/DatasetWindow.h"
#include "image/ForeignImages.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool IsLibraryFormat(platform::InputFile& file, int type) {
  return type == kPngImage || (type == kTiffImage && !HasScannerMakerField(file));
}

bool DecodeLibraryFormat(platform::InputFile& file, int type, DecodedImage& decoded) {
  return type == kPngImage ? DecodePng(file, decoded) : DecodeForeignTiff(file, decoded);
}

// Levels as the scanner's reader leaves them for a TIFF, as the BMP reader for a PNG.
bool ReadLibraryFormat(platform::InputFile& file, int type, const std::string& path, DatasetWindow* window,
                       SliceImage& image) {
  image.Clear();
  try {
    DecodedImage decoded;
    if (!DecodeLibraryFormat(file, type, decoded)) return false;
    SampleWindow sampleWindow;
    if (decoded.kind == DecodedImage::Kind::kDeep)
      sampleWindow = window ? window->For(path, decoded.samples) : PercentileWindow(decoded.samples);
    ToSliceImage(decoded, sampleWindow, image);
  } catch (const std::bad_alloc&) {
    image.Clear();  // out of memory is no fault of the file: the read fails, and reports nothing
    return false;
  }
  if (type == kTiffImage) image.SetLowerLevel(image.GetColourCount() / 2 - 1);
  return true;
}

}  // namespace

int ImageTypeFromExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : UpperAscii(path.substr(dot + 1));
  if (extension == "BMP") return kBmpImage;
  if (extension == "JPG" || extension == "JPEG") return kJpegImage;
  if (extension == "TIF" || extension == "TIFF") return kTiffImage;
  if (extension == "PNG") return kPngImage;
  return kOtherImage;
}

LoadStatus LoadImageFile(const std::string& path, SliceImage& image, DatasetWindow* window) {
  const int type = ImageTypeFromExtension(path);
  if (type == kOtherImage) return LoadStatus::kUnknownType;
  platform::InputFile file;
  if (!file.Open(path)) {
    image.Clear();
    return LoadStatus::kCannotOpen;
  }
  bool ok = false;
  if (type == kJpegImage) {
    file.Close();
    ok = image.ReadJpeg(path);
  } else if (type == kBmpImage) {
    ok = image.ReadBmp(file);
  } else if (IsLibraryFormat(file, type)) {
    ok = ReadLibraryFormat(file, type, path, window, image);
  } else {
    ok = image.ReadTiff(file);
  }
  return ok ? LoadStatus::kLoaded : LoadStatus::kReadFailed;
}

std::optional<std::vector<float>> ReadDeepSamples(const std::string& path) {
  const int type = ImageTypeFromExtension(path);
  platform::InputFile file;
  if ((type != kTiffImage && type != kPngImage) || !file.Open(path)) return std::nullopt;
  platform::ThreadMessageCapture silence;
  try {
    DecodedImage decoded;
    if (!IsLibraryFormat(file, type) || !DecodeLibraryFormat(file, type, decoded) ||
        decoded.kind != DecodedImage::Kind::kDeep)
      return std::nullopt;
    return std::move(decoded.samples);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace orvel
