// ReadTiff on any bytes: it either refuses them, leaving the image empty, or holds a consistent
// 8-bit image.
#include "FuzzSupport.h"
#include "SliceInvariants.h"
#include "platform/File.h"

using namespace orvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (fuzz::SilenceMessages(), true);
  (void)silenced;
  static fuzz::InputOnDisk input("input.tif");
  platform::InputFile file;
  fuzz::Expect(file.Open(input.Write(data, size)), "the input file opens");
  SliceImage image;
  if (!image.ReadTiff(file)) {
    fuzz::Expect(image.IsEmpty(), "a refused file leaves the image empty");
    return 0;
  }
  fuzz::CheckAcceptedImage(image);
  fuzz::Expect(image.GetBitCount() == 8, "a TIFF slice is held as 8-bit");
  return 0;
}
