// A TIFF file without the scanner's maker field on any bytes, loaded as a slice is: libtiff's
// reading, the checks around it and the window of deep samples. The load either refuses the file,
// leaving the image empty, or gives a consistent 8-bit or 24-bit image.
#include "FuzzSupport.h"
#include "SliceInvariants.h"
#include "app/ImageLoader.h"

using namespace orvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (fuzz::SilenceMessages(), true);
  (void)silenced;
  static fuzz::InputOnDisk input("input.tif");
  SliceImage image;
  if (LoadImageFile(input.Write(data, size), image) != LoadStatus::kLoaded) {
    fuzz::Expect(image.IsEmpty(), "a refused file leaves the image empty");
    return 0;
  }
  fuzz::CheckAcceptedImage(image);
  fuzz::Expect(image.GetBitCount() == 8 || image.GetBitCount() == 24, "a TIFF slice is held as 8 or 24 bits");
  return 0;
}
