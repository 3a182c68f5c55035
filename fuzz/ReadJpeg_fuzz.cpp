// ReadJpeg on any bytes, as a file: the parameters, the whole image and the JFIF density. It either
// refuses the file, leaving the image empty, or holds a consistent 8-bit grey image.
#include "FuzzSupport.h"
#include "SliceInvariants.h"
#include "jpeg/JpegCodec.h"

using namespace orvel;

namespace {

// As in the codec's target: larger pictures are left to the unit tests.
constexpr long long kPixelBudget = 1 << 20;

bool WithinBudget(const std::uint8_t* data, std::size_t size) {
  jpeg::JpegProperties record{};
  jpeg::JpegCodec::Init(record);
  record.jpegBuffer = data;
  record.jpegBufferSize = static_cast<std::int32_t>(size);
  const bool small = jpeg::JpegCodec::Read(record, jpeg::kReadBufferParameters) != jpeg::kSuccess ||
                     static_cast<long long>(record.jpegWidth) * record.jpegHeight <= kPixelBudget;
  jpeg::JpegCodec::Free(record);
  return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!WithinBudget(data, size)) return 0;
  static fuzz::InputOnDisk input("input.jpg");
  SliceImage image;
  if (!image.ReadJpeg(input.Write(data, size))) {
    fuzz::Expect(image.IsEmpty(), "a refused file leaves the image empty");
    return 0;
  }
  fuzz::CheckAcceptedImage(image);
  fuzz::Expect(image.GetBitCount() == 8, "a JPEG slice is held as 8-bit grey");
  fuzz::Expect(image.GetXPelsPerMeter() >= 0 && image.GetYPelsPerMeter() >= 0, "the density is not negative");
  return 0;
}
