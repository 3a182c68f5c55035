// Reading BMP files: the header block, whichever header variant it holds, becomes the 40-byte
// header and colour table the image holds; the pixels become bottom-up, uncompressed rows.
#include <cstring>
#include <new>
#include <vector>

#include "image/BmpFile.h"
#include "image/BmpFormat.h"
#include "image/ByteOrder.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

struct InvalidBitmap {};

bool IsSupportedBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t RowBytes(std::int64_t width, int bits) {
  return static_cast<std::uint64_t>((width * bits + 31) / 32 * 4);
}

// Rejects header blocks that cannot describe a picture we can hold: too short for the header and
// its colour table, no pixels, or more pixels than any slice may have.
void ValidateHeader(const SliceImage& image, std::size_t blockBytes, std::size_t tableOffset) {
  const std::int64_t width = image.GetWidth(), height = image.GetHeight();
  if (width <= 0 || height == 0 || !IsSupportedBitCount(image.GetBitCount())) throw InvalidBitmap();
  const std::int64_t colours = image.GetColourCount();
  if (colours < 0 || static_cast<std::int64_t>(blockBytes) < static_cast<std::int64_t>(tableOffset) + 4 * colours)
    throw InvalidBitmap();
  if (RowBytes(width, image.GetBitCount()) * static_cast<std::uint64_t>(height < 0 ? -height : height) > kMaxImageBytes)
    throw InvalidBitmap();
}

// How the file stores the rows of pixels.
struct FileRows {
  int bits = 0;             // per pixel
  bool topDown = false;     // the first row in the file is the top of the picture
  std::uint64_t bytes = 0;  // one row, padded to 4 bytes
  std::uint64_t count = 0;
};

// Makes the image's header the one it holds: the 40 bytes every variant begins with, now saying
// 40 and describing the pixels as held (bottom-up, uncompressed, bit fields as plain pixels), then
// the colour table from wherever the file's variant keeps it. Returns how the file stores the rows.
FileRows HoldHeader(SliceImage& image, const std::vector<std::uint8_t>& block, const BmpFormat& format) {
  image.AdoptHeaderBlock({block.begin(), block.begin() + header::kColourTable});
  image.SetColourCountFromBits();
  ValidateHeader(image, block.size(), format.tableOffset);
  const std::int32_t height = image.GetHeight();
  const FileRows rows{image.GetBitCount(), height < 0, RowBytes(image.GetWidth(), image.GetBitCount()),
                      static_cast<std::uint64_t>(height < 0 ? -std::int64_t{height} : height)};
  image.SetHeaderField32(header::kSize, header::kColourTable);
  image.SetHeaderField32(header::kHeight, static_cast<std::int32_t>(rows.count));
  image.SetHeaderField32(header::kCompression, 0);
  if (format.coding == BmpPixelCoding::kBitFields) {
    image.SetHeaderField16(header::kBitCount, static_cast<std::uint16_t>(HeldBitFieldBits(rows.bits)));
    image.SetHeaderField32(header::kColoursUsed, 0);
    image.SetHeaderField32(header::kColoursImportant, 0);
    image.SetColourCountFromBits();
  }
  std::vector<std::uint8_t> held = image.GetHeaderBlock();
  const auto table = block.begin() + static_cast<std::ptrdiff_t>(format.tableOffset);
  held.insert(held.end(), table, table + 4 * static_cast<std::ptrdiff_t>(image.GetColourCount()));
  image.AdoptHeaderBlock(std::move(held));
  image.ComputeLayout();
  return rows;
}

// Every buffer the reader holds at once (header, pixels, and the run-length data or one file row)
// counts against the bound; uncompressed pixels must lie in the file but for a plausible
// truncation. Both are checked before the pixel buffer is allocated.
void CheckReaderBytes(const SliceImage& image, const BmpFormat& format, const FileRows& rows, std::uint64_t pixelOffset,
                      std::uint64_t fileBytes) {
  const bool runLength = format.coding == BmpPixelCoding::kRunLength8 || format.coding == BmpPixelCoding::kRunLength4;
  const bool rowScratch = rows.topDown || format.coding == BmpPixelCoding::kBitFields;
  const std::uint64_t scratch = runLength ? fileBytes - pixelOffset : (rowScratch ? rows.bytes : 0);
  if (image.GetHeaderBlock().size() + image.GetImageBytes() + scratch > kMaxImageBytes) throw InvalidBitmap();
  const std::uint64_t pixelsEnd = pixelOffset + rows.bytes * rows.count;
  if (!runLength && pixelsEnd > fileBytes + MaxMissingPixelBytes(fileBytes)) throw InvalidBitmap();
}

// Turns a top-down picture into the bottom-up storage order the image holds.
void FlipRows(std::uint8_t* pixels, std::size_t rowBytes, std::size_t rows) {
  std::vector<std::uint8_t> swap(rowBytes);
  for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
    std::memcpy(swap.data(), pixels + top * rowBytes, rowBytes);
    std::memcpy(pixels + top * rowBytes, pixels + bottom * rowBytes, rowBytes);
    std::memcpy(pixels + bottom * rowBytes, swap.data(), rowBytes);
  }
}

void ReadPlainRows(platform::InputFile& file, SliceImage& image, const FileRows& rows) {
  image.AllocatePixelsForOverwrite();
  const std::size_t got = file.Read(image.GetBits(), image.GetImageBytes());
  std::memset(image.GetBits() + got, 0, image.GetImageBytes() - got);  // a short pixel area reads as 0
  if (rows.topDown) FlipRows(image.GetBits(), static_cast<std::size_t>(image.GetRowBytes()), rows.count);
}

void ReadRunLengthRows(platform::InputFile& file, SliceImage& image, const BmpFormat& format, std::uint64_t dataBytes) {
  image.AllocatePixels();  // what the runs skip stays 0
  std::vector<std::uint8_t> data(dataBytes);
  data.resize(file.Read(data.data(), data.size()));
  const int compression = format.coding == BmpPixelCoding::kRunLength8 ? 1 : 2;
  DecodeBmpRunLength(data.data(), data.size(), compression, image.GetWidth(), image.GetHeight(), image.GetRowBytes(),
                     image.GetBits());
}

void ReadBitFieldRows(platform::InputFile& file, SliceImage& image, const BmpFormat& format, const FileRows& rows) {
  image.AllocatePixels();  // the padding of the held rows stays 0
  std::vector<std::uint8_t> fileRow(rows.bytes);
  for (std::uint64_t k = 0; k < rows.count; ++k) {
    std::fill(fileRow.begin(), fileRow.end(), 0);  // a short pixel area reads as 0
    file.Read(fileRow.data(), fileRow.size());
    const std::uint64_t storageRow = rows.topDown ? rows.count - 1 - k : k;
    ConvertBitFieldRow(fileRow.data(), rows.bits, format.masks, image.GetWidth(),
                       image.GetBits() + storageRow * static_cast<std::uint64_t>(image.GetRowBytes()));
  }
}

}  // namespace

bool SliceImage::ReadBmp(platform::InputFile& file) {
  Clear();
  try {
    std::uint8_t fileHeader[kBmpFileHeaderBytes];
    if (file.Read(fileHeader, sizeof fileHeader) < sizeof fileHeader) return false;
    if (LoadLe16(fileHeader) != kBmpType) throw InvalidBitmap();
    const std::uint32_t pixelOffset = LoadLe32(fileHeader + 10);
    if (pixelOffset < kBmpFileHeaderBytes + header::kColourTable || pixelOffset > file.Size() ||
        pixelOffset - kBmpFileHeaderBytes > kMaxImageBytes)
      throw InvalidBitmap();
    std::vector<std::uint8_t> block(pixelOffset - kBmpFileHeaderBytes);
    file.Read(block.data(), block.size());  // a short block leaves zeros, which validation rejects

    const BmpFormat format = ReadBmpFormat(block);
    const FileRows rows = HoldHeader(*this, block, format);
    CheckReaderBytes(*this, format, rows, pixelOffset, file.Size());
    switch (format.coding) {
      case BmpPixelCoding::kPlain: ReadPlainRows(file, *this, rows); break;
      case BmpPixelCoding::kRunLength8:
      case BmpPixelCoding::kRunLength4: ReadRunLengthRows(file, *this, format, file.Size() - pixelOffset); break;
      case BmpPixelCoding::kBitFields: ReadBitFieldRows(file, *this, format, rows); break;
    }
  } catch (const InvalidBitmap&) {
    Clear();
    platform::ShowFileMessage("Invalid bitmap file");
    return false;
  } catch (const platform::FileError&) {
    Clear();  // no half-read pixels are left to be analysed
    platform::ShowFileMessage("Read error 1");
    return false;
  } catch (const std::bad_alloc&) {
    Clear();  // out of memory is no fault of the file: the read fails, and the image reports nothing
    return false;
  }
  UpdatePalette();
  const std::uint8_t* table = GetColourTable();
  if (table) m_originalColours.assign(table, table + 4 * static_cast<std::size_t>(m_colourCount));
  m_lowerLevel = m_colourCount / 2;
  m_upperLevel = m_colourCount + m_colourCount / 2 - 1;
  if (GetYPelsPerMeter() == 0) SetYPelsPerMeter(254000);
  return true;
}

}  // namespace orvel
