#include "image/DecodedImage.h"

#include <cstring>

namespace orvel {

namespace {

void FillGreyRows(const DecodedImage& decoded, const SampleWindow& window, SliceImage& image) {
  const std::size_t width = static_cast<std::size_t>(decoded.width);
  for (int k = 0; k < decoded.height; ++k) {
    std::uint8_t* target = image.GetBits() + static_cast<std::size_t>(decoded.height - 1 - k) * image.GetRowBytes();
    const std::size_t first = static_cast<std::size_t>(k) * width;
    if (decoded.kind == DecodedImage::Kind::kDeep) {
      for (std::size_t x = 0; x < width; ++x) target[x] = MapSample(decoded.samples[first + x], window);
    } else {
      std::memcpy(target, decoded.bytes.data() + first, width);
    }
  }
}

// Storage rows of a 24-bit slice hold blue, green, red.
void FillColourRows(const DecodedImage& decoded, SliceImage& image) {
  const std::size_t width = static_cast<std::size_t>(decoded.width);
  for (int k = 0; k < decoded.height; ++k) {
    std::uint8_t* target = image.GetBits() + static_cast<std::size_t>(decoded.height - 1 - k) * image.GetRowBytes();
    const std::uint8_t* source = decoded.bytes.data() + static_cast<std::size_t>(k) * width * 3;
    for (std::size_t x = 0; x < width; ++x) {
      target[3 * x] = source[3 * x + 2];
      target[3 * x + 1] = source[3 * x + 1];
      target[3 * x + 2] = source[3 * x];
    }
  }
}

// The file's colours become both the current and the original table; entries the palette lacks
// stay black.
void TakePalette(const DecodedImage& decoded, SliceImage& image) {
  std::uint8_t* table = image.GetColourTable();
  for (std::size_t i = 0; i < decoded.palette.size() && i < 256; ++i) {
    table[4 * i] = decoded.palette[i].blue;
    table[4 * i + 1] = decoded.palette[i].green;
    table[4 * i + 2] = decoded.palette[i].red;
  }
  image.SetOriginalColours({table, table + 4 * 256});
  image.UpdatePalette();
}

}  // namespace

std::uint64_t DecodedImage::HeldBytes(Kind kind, std::uint64_t width, std::uint64_t height) {
  const std::uint64_t pixels = width * height;
  const std::uint64_t sliceRow = (width * (kind == Kind::kRgb ? 24 : 8) + 31) / 32 * 4;
  const std::uint64_t decoded = kind == Kind::kDeep ? 4 * pixels : kind == Kind::kRgb ? 3 * pixels : pixels;
  return decoded + sliceRow * height;
}

void ToSliceImage(const DecodedImage& decoded, const SampleWindow& window, SliceImage& image) {
  const bool colour = decoded.kind == DecodedImage::Kind::kRgb;
  image.Create(decoded.width, decoded.height, colour ? 24 : 8, false);
  image.SetXPelsPerMeter(decoded.xPelsPerMeter);
  image.SetYPelsPerMeter(decoded.yPelsPerMeter);
  if (colour) {
    FillColourRows(decoded, image);
  } else {
    FillGreyRows(decoded, window, image);
    image.PrepareGreyDisplay();
    if (decoded.kind == DecodedImage::Kind::kPalette) TakePalette(decoded, image);
  }
  image.SetLowerLevel(image.GetColourCount() / 2);
  image.SetUpperLevel(image.GetColourCount() + image.GetColourCount() / 2 - 1);
}

}  // namespace orvel
