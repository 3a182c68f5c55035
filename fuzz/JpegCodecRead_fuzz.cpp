// The codec's memory read on any bytes: the parameters, then the whole image into a grey bitmap
// and, for three-component streams, into a colour one. Bitmaps are exactly as large as their rows,
// so a decoder that writes past them is caught; rows run bottom-up or top-down by the input's size.
#include <vector>

#include "FuzzSupport.h"
#include "jpeg/JpegCodec.h"

using namespace orvel;

namespace {

// Larger pictures are only decoded up to the parameters here: they are refused or read the same
// way, only slower. The bounds on large ones are tested by the unit tests.
constexpr long long kPixelBudget = 1 << 20;
constexpr int kRgbCode = 1, kGreyCode = 4;  // the record's colour codes

int PadBytes(int rowBytes) { return (rowBytes + 3) / 4 * 4 - rowBytes; }

void DecodeInto(jpeg::JpegProperties& record, int channels, bool bottomUp) {
  const int width = record.jpegWidth, height = record.jpegHeight;
  const int pad = PadBytes(width * channels);
  std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(width * channels + pad) * height);
  record.bitmapPixels = bitmap.data();
  record.bitmapWidth = width;
  record.bitmapHeight = bottomUp ? -height : height;
  record.bitmapPadBytes = pad;
  record.bitmapChannels = channels;
  record.bitmapColour = channels == 1 ? kGreyCode : kRgbCode;
  jpeg::JpegCodec::Read(record, jpeg::kReadBufferImage);
  record.bitmapPixels = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  jpeg::JpegProperties record{};
  fuzz::Expect(jpeg::JpegCodec::Init(record) == jpeg::kSuccess, "the codec starts");
  record.jpegBuffer = data;
  record.jpegBufferSize = static_cast<std::int32_t>(size);
  if (jpeg::JpegCodec::Read(record, jpeg::kReadBufferParameters) == jpeg::kSuccess) {
    fuzz::Expect(record.jpegWidth > 0 && record.jpegHeight > 0, "a frame has a size");
    fuzz::Expect(record.jpegChannels >= 1 && record.jpegChannels <= 4, "a frame has 1 to 4 components");
    const int components = record.jpegChannels;
    if (static_cast<long long>(record.jpegWidth) * record.jpegHeight <= kPixelBudget) {
      DecodeInto(record, 1, size % 2 == 0);
      if (components == 3) DecodeInto(record, 3, size % 2 != 0);
    }
  }
  jpeg::JpegCodec::Free(record);
  return 0;
}
