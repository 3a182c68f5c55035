// ReadBmp on any bytes: it either refuses them or holds an image that is consistent, and that it
// writes and reads back pixel for pixel.
#include <cstring>

#include "FuzzSupport.h"
#include "SliceInvariants.h"
#include "image/BmpFile.h"
#include "image/ByteOrder.h"
#include "platform/File.h"

using namespace orvel;

namespace {

// Run-length pixels may legitimately cover far more than their file (a move skips 255 rows), so
// their bound is the gigabyte any slice may take. Filling, writing and reading back buffers of
// megabytes for every input would slow the search a hundredfold: pictures of more than a
// megabyte stop here, unless the reader refuses them.
bool LargeRunLengthPicture(const std::uint8_t* data, std::size_t size) {
  if (size < 14 + 20) return false;
  const std::int64_t width = static_cast<std::int32_t>(LoadLe32(data + 18));
  const std::int64_t height = static_cast<std::int32_t>(LoadLe32(data + 22));
  const std::int64_t bits = LoadLe16(data + 28), compression = LoadLe32(data + 30);
  if ((compression != 1 && compression != 2) || width <= 0) return false;
  const std::uint64_t rowBytes = static_cast<std::uint64_t>((width * bits + 31) / 32 * 4);
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  if (rowBytes == 0 || rows > kMaxImageBytes / rowBytes) return false;  // the reader refuses these
  return rowBytes * rows > (std::uint64_t{1} << 20);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (LargeRunLengthPicture(data, size)) return 0;
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
