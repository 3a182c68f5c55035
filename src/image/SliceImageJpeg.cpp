// JPEG reading and writing of the slice image through the codec. The codec's parameter record is
// local to each call (zeroed, initialised, used, released), so the image stays freely copyable
// and two images may read at once.
#include <cstdlib>
#include <exception>

#include "image/JfifHeader.h"
#include "image/JpegAdapter.h"
#include "image/SliceImage.h"

namespace orvel {

namespace {

constexpr int kGreyColour = 4, kRgbColour = 1, kYcbcrColour = 3, kOtherColour = 255;
constexpr int kDefaultPelsPerMeter = 3600;
constexpr double kInchesPerMetre = 39.37007874015748;

int PadBytes(int rowBytes) { return (rowBytes + 3) / 4 * 4 - rowBytes; }

// The header block of an 8-bit grey image of this size, 3600 pixels per metre until the JFIF
// density is known, and its layout. False when the rows would need more than any reader may
// allocate.
bool LayOutJpegImage(SliceImage& image, int width, int height) {
  image.AdoptHeaderBlock(std::vector<std::uint8_t>(header::kColourTable + 256 * 4, 0));
  image.SetHeaderField32(header::kSize, 40);
  image.SetHeaderField32(header::kWidth, width);
  image.SetHeaderField32(header::kHeight, height);
  image.SetHeaderField16(header::kPlanes, 1);
  image.SetHeaderField16(header::kBitCount, 8);
  image.SetXPelsPerMeter(kDefaultPelsPerMeter);
  image.SetYPelsPerMeter(kDefaultPelsPerMeter);
  image.ComputeLayout();
  return image.GetImageBytes() != 0;
}

// The bitmap side of an image read into the image's pixels, and the colour codes.
void SetReadTarget(jpeg::JpegProperties& record, SliceImage& image) {
  const int width = record.jpegWidth;
  const bool knownChannels = record.jpegChannels == 1 || record.jpegChannels == 3;
  record.bitmapPixels = image.GetBits();
  record.bitmapWidth = width;
  record.bitmapHeight = -record.jpegHeight;  // bottom-up, as the image stores its rows
  record.bitmapPadBytes = PadBytes(width);
  record.bitmapChannels = 1;
  record.bitmapColour = knownChannels ? kGreyColour : kOtherColour;
  record.jpegColour = record.jpegChannels == 1 ? kGreyColour : record.jpegChannels == 3 ? kYcbcrColour : kOtherColour;
}

}  // namespace

bool SliceImage::ReadJpeg(const std::string& path) {
  Clear();
  const JpegAdapter adapter;
  jpeg::JpegProperties record{};
  adapter.Initialise(record);
  record.fileName = path.c_str();
  bool result = false;
  try {
    if (adapter.Decode(record, jpeg::kReadFileParameters) == jpeg::kSuccess &&
        LayOutJpegImage(*this, record.jpegWidth, record.jpegHeight)) {
      AllocatePixels();
      SetReadTarget(record, *this);
      // A damaged stream leaves the pixels that were decoded before the damage. Memory the
      // decode could not have is no damage of the file: the read fails, as allocations do.
      if (adapter.Decode(record, jpeg::kReadFileImage) != jpeg::kMemoryError) {
        ReadJfifDensity(path);
        PrepareGreyDisplay();
        result = true;
      }
    }
  } catch (const std::exception&) {
    result = false;  // an allocation failed: the image is left empty below
  }
  adapter.Release(record);
  if (!result) Clear();
  return result;
}

bool SliceImage::WriteJpeg(const std::string& path, int quality, int* status) const {
  int ignored = 0;
  int& result = status ? *status : ignored;
  const int bits = GetBitCount();
  if (IsEmpty() || bits < 8) {
    result = IsEmpty() ? jpeg::kNoImage : jpeg::kUnsupportedBytesPerPixel;
    return false;
  }
  try {
    const JpegAdapter adapter;
    jpeg::JpegProperties record{};
    adapter.Initialise(record);
    if (quality >= 0 && quality <= 100) record.quality = quality;
    // 16- and 32-bit images get no channel or colour fields, which the codec refuses.
    const int channels = bits == 8 ? 1 : (bits == 24 ? 3 : 0);
    const int width = GetWidth(), height = GetHeight();
    // The codec only reads the bitmap side when writing.
    record.bitmapPixels = const_cast<std::uint8_t*>(GetBits());
    record.bitmapWidth = width;
    record.bitmapHeight = -height;  // negative: bottom-up rows (a top-down image has a negative height)
    record.bitmapPadBytes = PadBytes(width * channels);
    record.bitmapChannels = channels;
    record.bitmapColour = bits == 8 ? kGreyColour : (bits == 24 ? kRgbColour : 0);
    record.fileName = path.c_str();
    record.jpegWidth = width;
    record.jpegHeight = std::abs(height);
    record.jpegChannels = channels;
    record.jpegColour = bits == 8 ? kGreyColour : (bits == 24 ? kYcbcrColour : 0);
    record.jpegSubsampling = 0;
    result = adapter.Encode(record, jpeg::kWriteFileImage);
    adapter.Release(record);
    if (result != jpeg::kSuccess) return false;
    WriteJfifDensity(path);
    return true;
  } catch (const std::exception&) {
    result = jpeg::kExceptionDetected;
    return false;
  }
}

void SliceImage::ReadJfifDensity(const std::string& path) {
  SetXPelsPerMeter(kDefaultPelsPerMeter);
  SetYPelsPerMeter(kDefaultPelsPerMeter);
  JfifHeader header;
  if (header.ReadFrom(path) != 0) return;
  SetXPelsPerMeter(static_cast<std::int32_t>(header.GetXDpi() * kInchesPerMetre));
  SetYPelsPerMeter(static_cast<std::int32_t>(header.GetYDpi() * kInchesPerMetre));
}

void SliceImage::WriteJfifDensity(const std::string& path) const {
  JfifHeader header;
  if (header.ReadFrom(path) != 0) return;
  header.SetXDpi(static_cast<int>(GetXPelsPerMeter() * 2.54 / 100));
  header.SetYDpi(static_cast<int>(GetYPelsPerMeter() * 2.54 / 100));
  header.WriteTo(path);
}

}  // namespace orvel
