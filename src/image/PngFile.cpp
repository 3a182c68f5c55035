// PNG files through libpng, the format's own library. Its errors come back as an exception
// thrown from the error callback (libpng allows the callback not to return), so the one error
// path is the catch at the end of DecodePng.
#include <png.h>

#include <algorithm>
#include <memory>
#include <new>

#include "image/ForeignImages.h"
#include "image/LibraryWarnings.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

struct InvalidPng {};

struct PngSource {
  platform::InputFile* file = nullptr;
  bool readError = false;
};

[[noreturn]] void OnPngError(png_structp, png_const_charp) { throw InvalidPng(); }

void OnPngWarning(png_structp, png_const_charp text) { ShowLibraryWarning("libpng", text); }

// A file that ends early is as false as one that says something wrong.
void ReadSource(png_structp png, png_bytep buffer, png_size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  try {
    if (source->file->Read(buffer, count) == count) return;
  } catch (const platform::FileError&) {
    source->readError = true;
  }
  png_error(png, "the file ends early");
}

class PngReader {
 public:
  explicit PngReader(PngSource& source) {
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnPngError, OnPngWarning);
    if (!m_png) throw std::bad_alloc();
    m_info = png_create_info_struct(m_png);
    if (!m_info) {
      png_destroy_read_struct(&m_png, nullptr, nullptr);
      throw std::bad_alloc();
    }
    png_set_read_fn(m_png, &source, ReadSource);
  }
  ~PngReader() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  png_structp Png() const { return m_png; }
  png_infop Info() const { return m_info; }

 private:
  png_structp m_png = nullptr;
  png_infop m_info = nullptr;
};

// What the picture becomes, after asking libpng for 8-bit grey, indices or colour without alpha;
// 16-bit grey stays 16-bit, as deep samples.
DecodedImage::Kind Transform(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  png_set_interlace_handling(png);
  if (colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    png_set_packing(png);
    return DecodedImage::Kind::kPalette;
  }
  if (colourType & PNG_COLOR_MASK_COLOR) {
    png_set_scale_16(png);
    return DecodedImage::Kind::kRgb;
  }
  if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  return depth == 16 ? DecodedImage::Kind::kDeep : DecodedImage::Kind::kGrey;
}

// The rows as libpng gives them, top-down; 16-bit samples are big-endian.
std::vector<std::uint8_t> ReadRows(png_structp png, png_infop info, std::uint64_t fileSize, DecodedImage::Kind kind) {
  const std::uint64_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  const std::uint64_t rowBytes = png_get_rowbytes(png, info);
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) png_error(png, "no picture");
  if (rowBytes * height > MaxDecodedBytes(fileSize)) png_error(png, "more pixels than the file can hold");
  const std::uint64_t held = DecodedImage::HeldBytes(kind, width, height) + (rowBytes + sizeof(png_bytep)) * height;
  if (held > kMaxImageBytes) png_error(png, "too large");
  std::vector<std::uint8_t> rows(rowBytes * height);
  std::vector<png_bytep> pointers(height);
  for (std::uint64_t y = 0; y < height; ++y) pointers[y] = rows.data() + y * rowBytes;
  png_read_image(png, pointers.data());
  return rows;
}

void TakeRows(std::vector<std::uint8_t> rows, DecodedImage& out) {
  if (out.kind != DecodedImage::Kind::kDeep) {
    out.bytes = std::move(rows);
    return;
  }
  out.samples.resize(rows.size() / 2);
  for (std::size_t i = 0; i < out.samples.size(); ++i) out.samples[i] = rows[2 * i] << 8 | rows[2 * i + 1];
}

void TakePalette(png_structp png, png_infop info, DecodedImage& out) {
  png_colorp colours = nullptr;
  int count = 0;
  if (!png_get_PLTE(png, info, &colours, &count)) png_error(png, "no palette");
  for (int i = 0; i < count && i < 256; ++i) out.palette.push_back({colours[i].red, colours[i].green, colours[i].blue});
}

// The pHYs chunk in pixels per metre; without it, or in its unit-less form, lengths stay in pixels.
void TakeResolution(png_structp png, png_infop info, DecodedImage& out) {
  png_uint_32 x = 0, y = 0;
  int unit = PNG_RESOLUTION_UNKNOWN;
  if (!png_get_pHYs(png, info, &x, &y, &unit) || unit != PNG_RESOLUTION_METER) return;
  out.xPelsPerMeter = static_cast<std::int32_t>(std::min<png_uint_32>(x, 0x7FFFFFFF));
  out.yPelsPerMeter = static_cast<std::int32_t>(std::min<png_uint_32>(y, 0x7FFFFFFF));
}

void ReadPng(PngSource& source, DecodedImage& out) {
  png_byte signature[8] = {};
  if (source.file->Read(signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) throw InvalidPng();
  PngReader reader(source);
  png_structp png = reader.Png();
  png_infop info = reader.Info();
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  out.kind = Transform(png, info);
  png_read_update_info(png, info);
  out.width = static_cast<int>(png_get_image_width(png, info));
  out.height = static_cast<int>(png_get_image_height(png, info));
  TakeRows(ReadRows(png, info, source.file->Size(), out.kind), out);
  if (out.kind == DecodedImage::Kind::kPalette) TakePalette(png, info, out);
  TakeResolution(png, info, out);
}

}  // namespace

bool DecodePng(platform::InputFile& file, DecodedImage& decoded) {
  decoded = DecodedImage();
  PngSource source{&file};
  try {
    ReadPng(source, decoded);
    return true;
  } catch (const InvalidPng&) {
  } catch (const platform::FileError&) {
    source.readError = true;
  } catch (const std::bad_alloc&) {
    decoded = DecodedImage();  // out of memory is no fault of the file: the read fails silently
    return false;
  }
  decoded = DecodedImage();
  platform::ShowFileMessage(source.readError ? "Read error 1" : "Invalid png file");
  return false;
}

}  // namespace orvel
