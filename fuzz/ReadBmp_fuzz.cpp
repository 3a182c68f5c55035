// ReadBmp on any bytes: it either refuses them or holds an image that is consistent, and that it
// writes and reads back pixel for pixel.
#include <cstring>

#include "FuzzSupport.h"
#include "SliceInvariants.h"
#include "image/BmpFile.h"
#include "platform/File.h"

using namespace orvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silenced = (fuzz::SilenceMessages(), true);
  (void)silenced;
  static fuzz::InputOnDisk input("input.bmp");
  static const std::string copy = fuzz::ScratchFolder() + "/copy.bmp";
  platform::InputFile file;
  fuzz::Expect(file.Open(input.Write(data, size)), "the input file opens");
  SliceImage image;
  if (!image.ReadBmp(file)) {
    fuzz::Expect(image.IsEmpty(), "a refused file leaves the image empty");
    return 0;
  }
  fuzz::CheckAcceptedImage(image);
  fuzz::Expect(SaveBmpFile(image, copy), "an accepted image can be saved");
  platform::InputFile written;
  SliceImage again;
  fuzz::Expect(written.Open(copy) && again.ReadBmp(written), "a saved image reads back");
  fuzz::Expect(again.GetSize() == image.GetSize() && again.GetBitCount() == image.GetBitCount(),
               "the copy has the size and depth of the original");
  fuzz::Expect(again.GetImageBytes() == image.GetImageBytes() &&
                   std::memcmp(again.GetBits(), image.GetBits(), image.GetImageBytes()) == 0,
               "the copy has the pixels of the original");
  return 0;
}
