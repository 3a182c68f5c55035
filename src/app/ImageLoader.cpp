#include "app/ImageLoader.h"

#include "platform/File.h"

namespace orvel {

namespace {

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace

int ImageTypeFromExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : UpperAscii(path.substr(dot + 1));
  if (extension == "BMP") return kBmpImage;
  if (extension == "JPG") return kJpegImage;
  if (extension == "TIF") return kTiffImage;
  return kOtherImage;
}

LoadStatus LoadImageFile(const std::string& path, SliceImage& image) {
  const int type = ImageTypeFromExtension(path);
  if (type == kOtherImage) return LoadStatus::kUnknownType;
  if (type == kJpegImage) {
    platform::InputFile probe;
    if (!probe.Open(path)) {
      image.Clear();
      return LoadStatus::kCannotOpen;
    }
    probe.Close();
    return image.ReadJpeg(path) ? LoadStatus::kLoaded : LoadStatus::kReadFailed;
  }
  platform::InputFile file;
  if (!file.Open(path)) {
    image.Clear();
    return LoadStatus::kCannotOpen;
  }
  const bool ok = type == kBmpImage ? image.ReadBmp(file) : image.ReadTiff(file);
  return ok ? LoadStatus::kLoaded : LoadStatus::kReadFailed;
}

}  // namespace orvel
