// TIFF files other than the scanner's, through libtiff, the format's own library: it reads every
// byte order, compression and strip or tile layout; this file decides what the slice becomes.
// Only the first image of a multi-page file is read.
#include <strings.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "image/ForeignImages.h"
#include "image/LibraryWarnings.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

struct InvalidTiff {};

constexpr double kInchesPerMetre = 39.37007874015748;

// libtiff reads through our file, which knows its size; the library keeps no position of its own.
struct TiffSource {
  platform::InputFile* file = nullptr;
  std::uint64_t position = 0;
  bool failed = false;     // the library reported an error
  bool readError = false;  // the file reported a read error
};

tmsize_t ReadSource(thandle_t handle, void* buffer, tmsize_t size) {
  auto* source = static_cast<TiffSource*>(handle);
  try {
    source->file->Seek(source->position);
    const std::size_t got = source->file->Read(buffer, static_cast<std::size_t>(size));
    source->position += got;
    return static_cast<tmsize_t>(got);
  } catch (const platform::FileError&) {
    source->failed = source->readError = true;
    return -1;
  }
}

tmsize_t WriteNothing(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekSource(thandle_t handle, toff_t offset, int whence) {
  auto* source = static_cast<TiffSource*>(handle);
  const std::uint64_t base = whence == SEEK_CUR ? source->position : whence == SEEK_END ? source->file->Size() : 0;
  source->position = base + offset;
  return source->position;
}

int CloseNothing(thandle_t) { return 0; }
toff_t SourceSize(thandle_t handle) { return static_cast<TiffSource*>(handle)->file->Size(); }
int MapNothing(thandle_t, void**, toff_t*) { return 0; }
void UnmapNothing(thandle_t, void*, toff_t) {}

std::string Formatted(const char* module, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  return module && *module ? std::string(module) + ": " + text : std::string(text);
}

int OnTiffError(TIFF*, void* handle, const char*, const char*, va_list) {
  static_cast<TiffSource*>(handle)->failed = true;
  return 1;
}

// Private tags of other programs (the ImageJ family writes two on every file) are no news to
// the user: a stack from those programs would otherwise open behind a message box.
int OnTiffWarning(TIFF*, void*, const char* module, const char* format, va_list arguments) {
  const std::string text = Formatted(module, format, arguments);
  if (text.find("Unknown field with tag") == std::string::npos) ShowLibraryWarning("libtiff", text);
  return 1;
}

using TiffHandle = std::unique_ptr<TIFF, void (*)(TIFF*)>;

TiffHandle OpenTiff(TiffSource& source) {
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
  if (!options) throw std::bad_alloc();
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxImageBytes / 4));
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnTiffError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnTiffWarning, &source);
  // The name only appears in the library's messages.
  TIFF* tiff = TIFFClientOpenExt("tiff", "rm", &source, ReadSource, WriteNothing, SeekSource, CloseNothing, SourceSize,
                                 MapNothing, UnmapNothing, options.get());
  if (!tiff || source.failed) {
    if (tiff) TIFFClose(tiff);
    throw InvalidTiff();
  }
  return TiffHandle(tiff, TIFFClose);
}

struct TiffLayout {
  std::uint32_t width = 0, height = 0;
  std::uint16_t bitsPerSample = 1, samplesPerPixel = 1, sampleFormat = SAMPLEFORMAT_UINT;
  std::uint16_t photometric = PHOTOMETRIC_MINISBLACK, compression = COMPRESSION_NONE;
};

TiffLayout ReadLayout(TIFF* tiff) {
  TiffLayout layout;
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) ||
      !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height) || layout.width == 0 || layout.height == 0 ||
      layout.width > 0x7FFFFFFF || layout.height > 0x7FFFFFFF)
    throw InvalidTiff();
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samplesPerPixel);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &layout.sampleFormat);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &layout.compression);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric);
  return layout;
}

bool IsGrey(const TiffLayout& layout) {
  return layout.samplesPerPixel == 1 &&
         (layout.photometric == PHOTOMETRIC_MINISBLACK || layout.photometric == PHOTOMETRIC_MINISWHITE);
}

// How a layout's samples are read: one byte, a 16-bit integer or a 32-bit float per pixel, read
// strip by strip or tile by tile; anything else goes through the library's colour rendering.
enum class SampleKind { kByte, kUnsigned16, kSigned16, kFloat32, kRendered };

SampleKind SampleKindOf(const TiffLayout& layout) {
  const bool single = layout.samplesPerPixel == 1;
  if (single && layout.bitsPerSample == 8 && layout.sampleFormat == SAMPLEFORMAT_UINT &&
      (IsGrey(layout) || layout.photometric == PHOTOMETRIC_PALETTE))
    return SampleKind::kByte;
  if (!IsGrey(layout)) return SampleKind::kRendered;
  if (layout.bitsPerSample == 16 && layout.sampleFormat == SAMPLEFORMAT_UINT) return SampleKind::kUnsigned16;
  if (layout.bitsPerSample == 16 && layout.sampleFormat == SAMPLEFORMAT_INT) return SampleKind::kSigned16;
  if (layout.bitsPerSample == 32 && layout.sampleFormat == SAMPLEFORMAT_IEEEFP) return SampleKind::kFloat32;
  if (layout.bitsPerSample < 8) return SampleKind::kRendered;  // bilevel and 2- or 4-bit grey
  throw InvalidTiff();
}

DecodedImage::Kind DecodedKindOf(const TiffLayout& layout, SampleKind kind) {
  if (kind == SampleKind::kByte)
    return layout.photometric == PHOTOMETRIC_PALETTE ? DecodedImage::Kind::kPalette : DecodedImage::Kind::kGrey;
  if (kind != SampleKind::kRendered) return DecodedImage::Kind::kDeep;
  return IsGrey(layout) ? DecodedImage::Kind::kGrey : DecodedImage::Kind::kRgb;
}

// Every strip or tile must lie in the file, and the pixels they claim must be what their bytes
// can hold (nothing past the end of the file is taken on trust); then the decoded picture, the
// slice and the largest buffer beside them must fit the bound together.
void CheckSizes(TIFF* tiff, const TiffLayout& layout, SampleKind kind, DecodedImage::Kind decoded,
                std::uint64_t fileSize) {
  std::uint64_t stored = 0;
  const std::uint32_t pieces = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  for (std::uint32_t i = 0; i < pieces; ++i) {
    const std::uint64_t offset = TIFFGetStrileOffset(tiff, i), count = TIFFGetStrileByteCount(tiff, i);
    if (offset > fileSize || count > fileSize - offset) throw InvalidTiff();
    stored += count;
  }
  // Compressed, a picture is taken at a byte per pixel at least: what a bilevel one becomes here.
  const std::uint64_t claimed = TIFFScanlineSize64(tiff) * layout.height;
  const std::uint64_t pixels = std::uint64_t{layout.width} * layout.height;
  const bool plausible =
      layout.compression == COMPRESSION_NONE ? claimed <= stored : std::max(claimed, pixels) <= MaxDecodedBytes(stored);
  // Strips do not overlap: together they hold no more than the file.
  if (pieces == 0 || stored > fileSize || !plausible) throw InvalidTiff();
  const std::uint64_t scratch = kind == SampleKind::kRendered ? 4ull * layout.width * layout.height
                                : TIFFIsTiled(tiff)           ? TIFFTileSize64(tiff)
                                                              : TIFFStripSize64(tiff);
  if (DecodedImage::HeldBytes(decoded, layout.width, layout.height) + scratch > kMaxImageBytes) throw InvalidTiff();
}

std::size_t BytesPerSample(SampleKind kind) {
  return kind == SampleKind::kByte ? 1 : kind == SampleKind::kFloat32 ? 4 : 2;
}

// count samples from source (the library has put them in this machine's byte order) to the
// decoded picture from pixel first on; a white-is-zero picture turns round.
void StoreSamples(const std::uint8_t* source, std::size_t count, SampleKind kind, bool whiteIsZero, DecodedImage& out,
                  std::size_t first) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* at = source + i * BytesPerSample(kind);
    std::uint16_t u16;
    std::int16_t s16;
    float f32;
    switch (kind) {
      case SampleKind::kByte: out.bytes[first + i] = whiteIsZero ? 255 - *at : *at; break;
      case SampleKind::kUnsigned16:
        std::memcpy(&u16, at, 2);
        out.samples[first + i] = whiteIsZero ? 65535 - u16 : u16;
        break;
      case SampleKind::kSigned16:
        std::memcpy(&s16, at, 2);
        out.samples[first + i] = whiteIsZero ? -s16 : s16;
        break;
      case SampleKind::kFloat32:
        std::memcpy(&f32, at, 4);
        out.samples[first + i] = whiteIsZero ? -f32 : f32;
        break;
      case SampleKind::kRendered: break;
    }
  }
}

struct SampleCopy {
  SampleKind kind;
  bool whiteIsZero;
  DecodedImage& out;
  void Row(const std::uint8_t* source, std::size_t count, std::uint32_t row, std::uint32_t column) const {
    StoreSamples(source, count, kind, whiteIsZero, out, std::size_t{row} * out.width + column);
  }
};

void ReadStrips(TIFF* tiff, const TiffLayout& layout, const SampleCopy& copy) {
  std::uint32_t rowsPerStrip = layout.height;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  if (rowsPerStrip == 0 || rowsPerStrip > layout.height) rowsPerStrip = layout.height;
  const std::uint64_t rowBytes = std::uint64_t{layout.width} * BytesPerSample(copy.kind);
  if (static_cast<std::uint64_t>(TIFFScanlineSize64(tiff)) != rowBytes) throw InvalidTiff();
  std::vector<std::uint8_t> strip(rowBytes * rowsPerStrip);
  for (std::uint32_t row = 0, index = 0; row < layout.height; row += rowsPerStrip, ++index) {
    const std::uint32_t rows = std::min(rowsPerStrip, layout.height - row);
    const tmsize_t wanted = static_cast<tmsize_t>(rowBytes * rows);
    if (TIFFReadEncodedStrip(tiff, index, strip.data(), wanted) < wanted) throw InvalidTiff();
    for (std::uint32_t r = 0; r < rows; ++r) copy.Row(strip.data() + r * rowBytes, layout.width, row + r, 0);
  }
}

void ReadTiles(TIFF* tiff, const TiffLayout& layout, const SampleCopy& copy) {
  std::uint32_t tileWidth = 0, tileHeight = 0;
  TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
  const std::uint64_t rowBytes = std::uint64_t{tileWidth} * BytesPerSample(copy.kind);
  const tmsize_t tileBytes = TIFFTileSize(tiff);
  if (tileWidth == 0 || tileHeight == 0 || tileBytes <= 0 ||
      static_cast<std::uint64_t>(tileBytes) != rowBytes * tileHeight)
    throw InvalidTiff();
  std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileBytes));
  for (std::uint32_t y = 0; y < layout.height; y += tileHeight) {
    for (std::uint32_t x = 0; x < layout.width; x += tileWidth) {
      if (TIFFReadTile(tiff, tile.data(), x, y, 0, 0) < tileBytes) throw InvalidTiff();
      const std::uint32_t rows = std::min(tileHeight, layout.height - y),
                          columns = std::min(tileWidth, layout.width - x);
      for (std::uint32_t r = 0; r < rows; ++r) copy.Row(tile.data() + r * rowBytes, columns, y + r, x);
    }
  }
}

// Colour layouts, and grey of fewer than 8 bits, as the library renders them: 8 bits per channel.
void ReadRendered(TIFF* tiff, const TiffLayout& layout, DecodedImage& out) {
  char why[1024];
  if (!TIFFRGBAImageOK(tiff, why)) throw InvalidTiff();
  std::vector<std::uint32_t> raster(std::size_t{layout.width} * layout.height);
  if (!TIFFReadRGBAImageOriented(tiff, layout.width, layout.height, raster.data(), ORIENTATION_TOPLEFT, 1))
    throw InvalidTiff();
  const bool grey = out.kind == DecodedImage::Kind::kGrey;
  for (std::size_t i = 0; i < raster.size(); ++i) {
    if (grey) {
      out.bytes[i] = static_cast<std::uint8_t>(TIFFGetR(raster[i]));
    } else {
      out.bytes[3 * i] = static_cast<std::uint8_t>(TIFFGetR(raster[i]));
      out.bytes[3 * i + 1] = static_cast<std::uint8_t>(TIFFGetG(raster[i]));
      out.bytes[3 * i + 2] = static_cast<std::uint8_t>(TIFFGetB(raster[i]));
    }
  }
}

// 16-bit colour-map values keep their high byte; a map whose values all fit in 8 bits was
// written as 8-bit values, as some programs do, and is taken as it stands.
void ReadColourMap(TIFF* tiff, DecodedImage& out) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) throw InvalidTiff();
  bool eightBit = true;
  for (int i = 0; i < 256; ++i) eightBit = eightBit && red[i] < 256 && green[i] < 256 && blue[i] < 256;
  const int shift = eightBit ? 0 : 8;
  for (int i = 0; i < 256; ++i)
    out.palette.push_back({static_cast<std::uint8_t>(red[i] >> shift), static_cast<std::uint8_t>(green[i] >> shift),
                           static_cast<std::uint8_t>(blue[i] >> shift)});
}

// As the scanner's files: per inch or per centimetre; without an absolute unit, lengths stay in
// pixels.
std::int32_t PelsPerMetre(float value, std::uint16_t unit) {
  if (!(value > 0) || (unit != RESUNIT_INCH && unit != RESUNIT_CENTIMETER)) return 0;
  const double perMetre = unit == RESUNIT_INCH ? value * kInchesPerMetre : value * 100.0;
  return perMetre >= 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(perMetre);
}

void ReadResolution(TIFF* tiff, DecodedImage& out) {
  float x = 0, y = 0;
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x)) out.xPelsPerMeter = PelsPerMetre(x, unit);
  if (TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y)) out.yPelsPerMeter = PelsPerMetre(y, unit);
}

void ReadImage(TIFF* tiff, std::uint64_t fileSize, DecodedImage& out) {
  const TiffLayout layout = ReadLayout(tiff);
  const SampleKind kind = SampleKindOf(layout);
  out.kind = DecodedKindOf(layout, kind);
  CheckSizes(tiff, layout, kind, out.kind, fileSize);
  out.width = static_cast<int>(layout.width);
  out.height = static_cast<int>(layout.height);
  const std::size_t pixels = std::size_t{layout.width} * layout.height;
  if (out.kind == DecodedImage::Kind::kDeep) out.samples.resize(pixels);
  else out.bytes.resize(out.kind == DecodedImage::Kind::kRgb ? 3 * pixels : pixels);
  const SampleCopy copy{kind, layout.photometric == PHOTOMETRIC_MINISWHITE, out};
  if (kind == SampleKind::kRendered) ReadRendered(tiff, layout, out);
  else if (TIFFIsTiled(tiff)) ReadTiles(tiff, layout, copy);
  else ReadStrips(tiff, layout, copy);
  if (out.kind == DecodedImage::Kind::kPalette) ReadColourMap(tiff, out);
  ReadResolution(tiff, out);
}

}  // namespace

bool HasScannerMakerField(platform::InputFile& file) {
  std::uint8_t head[16] = {};
  try {
    file.Seek(0);
    const std::size_t got = file.Read(head, sizeof head);
    file.Seek(0);
    return got == sizeof head && strncasecmp(reinterpret_cast<const char*>(head + 8), "Voxalon", 8) == 0;
  } catch (const platform::FileError&) {
    return false;  // the reader that follows meets the error again and reports it
  }
}

bool DecodeForeignTiff(platform::InputFile& file, DecodedImage& decoded) {
  decoded = DecodedImage();
  TiffSource source{&file};
  try {
    TiffHandle tiff = OpenTiff(source);
    ReadImage(tiff.get(), file.Size(), decoded);
    if (!source.failed) return true;
  } catch (const InvalidTiff&) {
  } catch (const std::bad_alloc&) {
    decoded = DecodedImage();  // out of memory is no fault of the file: the read fails silently
    return false;
  }
  decoded = DecodedImage();
  platform::ShowFileMessage(source.readError ? "Read error 1" : "Invalid tiff file");
  return false;
}

}  // namespace orvel
