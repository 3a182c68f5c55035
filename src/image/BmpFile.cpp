#include "image/BmpFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "image/ByteOrder.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

constexpr std::uint16_t kBmpType = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderBytes = 14;
constexpr int kRle8 = 1, kRle4 = 2;

struct InvalidBitmap {};

bool IsSupportedBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Rejects header blocks that cannot describe a picture we can hold: too short for the header and
// its colour table, no pixels, or more pixels than any slice may have.
void ValidateHeader(const SliceImage& image, std::size_t blockBytes) {
  const std::int64_t width = image.GetWidth(), height = image.GetHeight();
  if (blockBytes < header::kColourTable || width <= 0 || height == 0) throw InvalidBitmap();
  if (!IsSupportedBitCount(image.GetBitCount())) throw InvalidBitmap();
  const std::int64_t colours = image.GetColourCount();
  if (colours < 0 || static_cast<std::int64_t>(blockBytes) < header::kColourTable + 4 * colours) throw InvalidBitmap();
  const std::int64_t rowBytes = (width * image.GetBitCount() + 31) / 32 * 4;
  if (rowBytes * (height < 0 ? -height : height) > static_cast<std::int64_t>(kMaxImageBytes)) throw InvalidBitmap();
}

// Every buffer the reader holds at once (header block, pixels, and the run-length data or the row
// used to turn a top-down picture) counts against the bound; uncompressed pixels must lie in the
// file but for a plausible truncation. Both are checked before the pixel buffer is allocated.
void CheckReaderBytes(std::uint64_t heldBytes, std::uint64_t pixelEnd, std::uint64_t fileBytes, bool compressed) {
  if (heldBytes > kMaxImageBytes) throw InvalidBitmap();
  if (!compressed && pixelEnd > fileBytes + kMaxMissingPixelBytes) throw InvalidBitmap();
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

}  // namespace

bool SliceImage::ReadBmp(platform::InputFile& file) {
  Clear();
  try {
    std::uint8_t fileHeader[kFileHeaderBytes];
    if (file.Read(fileHeader, sizeof fileHeader) < sizeof fileHeader) return false;
    if (LoadLe16(fileHeader) != kBmpType) throw InvalidBitmap();
    const std::uint32_t pixelOffset = LoadLe32(fileHeader + 10);
    if (pixelOffset < kFileHeaderBytes + header::kColourTable || pixelOffset > file.Size()) throw InvalidBitmap();

    if (pixelOffset - kFileHeaderBytes > kMaxImageBytes) throw InvalidBitmap();
    std::vector<std::uint8_t> block(pixelOffset - kFileHeaderBytes);
    file.Read(block.data(), block.size());  // a short block leaves zeros, which validation rejects
    m_header = std::move(block);
    SetColourCountFromBits();
    ValidateHeader(*this, m_header.size());

    const std::int32_t storedHeight = GetHeight();
    const int compression = HeaderField32(header::kCompression);
    // Hold every picture bottom-up and uncompressed, so that writing it gives a correct file.
    SetHeaderField32(header::kHeight, storedHeight < 0 ? -storedHeight : storedHeight);
    const bool runLength = (compression == kRle8 && GetBitCount() == 8) || (compression == kRle4 && GetBitCount() == 4);
    if (runLength) SetHeaderField32(header::kCompression, 0);
    ComputeLayout();
    const std::uint64_t dataBytes = file.Size() - pixelOffset;
    const std::uint64_t scratchBytes = runLength ? dataBytes : (storedHeight < 0 ? m_rowBytes : 0);
    CheckReaderBytes(m_header.size() + m_imageBytes + scratchBytes, pixelOffset + std::uint64_t{m_imageBytes},
                     file.Size(), runLength);
    if (runLength) {
      AllocatePixels();  // what the runs skip stays 0
      std::vector<std::uint8_t> data(dataBytes);
      data.resize(file.Read(data.data(), data.size()));
      DecodeBmpRunLength(data.data(), data.size(), compression, GetWidth(), GetHeight(), m_rowBytes, m_bits.data());
    } else {
      AllocatePixelsForOverwrite();
      const std::size_t got = file.Read(m_bits.data(), m_bits.size());
      std::memset(m_bits.data() + got, 0, m_bits.size() - got);  // a short pixel area reads as 0
      if (storedHeight < 0) FlipRows(m_bits.data(), m_rowBytes, static_cast<std::size_t>(GetHeight()));
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

bool SliceImage::WriteBmp(platform::OutputFile& file) const {
  if (m_header.empty()) return false;
  const std::size_t blockBytes =
      std::min(m_header.size(), header::kColourTable + 4 * static_cast<std::size_t>(m_colourCount));
  std::uint8_t fileHeader[kFileHeaderBytes] = {};
  StoreLe16(fileHeader, kBmpType);
  StoreLe32(fileHeader + 2, static_cast<std::uint32_t>(kFileHeaderBytes + blockBytes + m_imageBytes));
  StoreLe32(fileHeader + 10, static_cast<std::uint32_t>(kFileHeaderBytes + blockBytes));
  try {
    file.Write(fileHeader, sizeof fileHeader);
    file.Write(m_header.data(), blockBytes);
    file.Write(m_bits.data(), m_bits.size());
  } catch (const platform::FileError&) {
    platform::ShowFileMessage("write error");
    return false;
  }
  return true;
}

bool SaveBmpFile(const SliceImage& image, const std::string& path) {
  platform::OutputFile file;
  if (!file.Create(path)) {
    platform::ShowFileMessage("write error");
    return false;
  }
  if (!image.WriteBmp(file)) return false;
  if (!file.Commit()) {
    platform::ShowFileMessage("write error");
    return false;
  }
  return true;
}

}  // namespace orvel
