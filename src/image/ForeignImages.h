#pragma once
// The readers of TIFF files other than the scanner's and of PNG files. They decode a file the
// caller has opened into a DecodedImage; a file they cannot take gives the format's message
// ("Invalid tiff file", "Invalid png file") and false, and leaves decoded empty.
#include "image/DecodedImage.h"

namespace orvel {

namespace platform {
class InputFile;
}

// Whether the file is the scanner's TIFF: the maker's name in the eight bytes after the header, in
// any letter case (the scanner's reader refuses all but its own). Leaves the file at its start.
bool HasScannerMakerField(platform::InputFile& file);

// The first image of a TIFF file through libtiff: grey 8 and 16 bits, 32-bit float, 8-bit
// palette, and any colour layout the library can render (as red, green, blue).
bool DecodeForeignTiff(platform::InputFile& file, DecodedImage& decoded);

// A PNG file through libpng: grey (deep at 16 bits), palette, and colour as red, green, blue.
bool DecodePng(platform::InputFile& file, DecodedImage& decoded);

// How many bytes compressed pixel data may decode to: more than Deflate (1032:1), LZW (about
// 2600:1) or PackBits (64:1) can give, and 4 MiB besides. A header that claims more for the bytes
// its file holds is false, and is refused before anything is allocated for it. (Codecs outside
// these three may compress a blank slice further; such a slice over 4 MiB is refused.)
constexpr std::uint64_t MaxDecodedBytes(std::uint64_t compressedBytes) {
  return 4096 * compressedBytes + (std::uint64_t{4} << 20);
}

}  // namespace orvel
