// The scanner's TIFF layout: little-endian, the maker's name after the header, pixels from offset
// 16, and every directory value taken by its position in the directory rather than by its tag.
#include <cstring>
#include <new>
#include <vector>

#include "image/ByteOrder.h"
#include "image/SliceImage.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

namespace {

constexpr std::uint16_t kLittleEndian = 0x4949;  // "II"
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint64_t kPixelOffset = 16;
constexpr int kPaletteImage = 3;  // photometric interpretation
constexpr int kInch = 2;          // resolution unit
constexpr double kInchesPerMetre = 39.37007874015748;

struct InvalidTiff {};

struct DirectoryEntry {
  std::uint32_t count = 0;
  std::uint32_t value = 0;  // the value field, or the offset of the value
};

// Reads the entries of the directory in order. An entry the reader needs that the file does not
// wholly hold (a directory cut short) makes the file invalid: its zeros would read as a size or
// as the offset of a resolution, giving a picture of the wrong scale.
class DirectoryReader {
 public:
  // The caller has checked that the entry count lies in the file.
  DirectoryReader(platform::InputFile& file, std::uint64_t directoryOffset) {
    file.Seek(directoryOffset);
    std::uint8_t count[2] = {};
    file.Read(count, 2);
    m_entryCount = LoadLe16(count);
    m_bytes.assign(12 * kMaxPositions, 0);
    m_present = static_cast<int>(file.Read(m_bytes.data(), m_bytes.size()) / 12);
  }
  int EntryCount() const { return m_entryCount; }
  void Skip() { ++m_next; }
  DirectoryEntry Next() {
    if (m_next >= m_present) throw InvalidTiff();
    const std::uint8_t* entry = m_bytes.data() + 12 * m_next++;
    return {LoadLe32(entry + 4), LoadLe32(entry + 8)};
  }

 private:
  static constexpr int kMaxPositions = 14;  // the most the layout reads
  std::vector<std::uint8_t> m_bytes;
  int m_entryCount = 0;
  int m_present = 0;  // whole entries the file holds
  int m_next = 0;
};

struct TiffLayout {
  std::uint32_t width = 0, height = 0, bitsPerSample = 0, photometric = 0, samplesPerPixel = 0;
  std::uint32_t xResolutionOffset = 0, yResolutionOffset = 0;
  std::uint32_t resolutionUnit = kInch;
  std::uint32_t colourCount = 256;
  int BytesPerSample() const { return bitsPerSample == 16 ? 2 : 1; }
};

TiffLayout ReadLayout(DirectoryReader& directory) {
  TiffLayout layout;
  directory.Skip();  // new subfile type
  layout.width = directory.Next().value;
  layout.height = directory.Next().value;
  layout.bitsPerSample = directory.Next().value;
  directory.Skip();  // compression
  layout.photometric = directory.Next().value;
  directory.Skip();  // strip offsets
  layout.samplesPerPixel = directory.Next().value;
  directory.Skip();  // rows per strip
  directory.Skip();  // strip byte counts
  layout.xResolutionOffset = directory.Next().value;
  layout.yResolutionOffset = directory.Next().value;
  // A palette image with 13 entries has no resolution unit: its 13th entry is the colour map.
  if (directory.EntryCount() > 13 || layout.photometric != kPaletteImage)
    layout.resolutionUnit = directory.Next().value;
  if (layout.photometric == kPaletteImage) layout.colourCount = directory.Next().count / 3;
  return layout;
}

std::uint32_t ReadNumerator(platform::InputFile& file, std::uint32_t offset) {
  if (std::uint64_t{offset} + 4 > file.Size()) throw InvalidTiff();
  file.Seek(offset);
  std::uint8_t bytes[4] = {};
  file.Read(bytes, 4);
  return LoadLe32(bytes);
}

std::int32_t PelsPerMeter(std::uint32_t numerator, std::uint32_t unit) {
  const double perMetre = unit == kInch ? numerator * kInchesPerMetre : numerator * 100.0;
  return perMetre > 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(perMetre);
}

// Refuses layouts the reader cannot hold: every buffer it allocates (8-bit pixels, one file row of
// samples, header block and colour map) counts against the bound, and the samples must lie in the
// file but for a plausible truncation. Checked before anything large is allocated.
void CheckLayout(const TiffLayout& layout, std::uint64_t fileSize) {
  if (layout.width == 0 || layout.height == 0 || layout.width > 0x7FFFFFFF || layout.height > 0x7FFFFFFF)
    throw InvalidTiff();
  const std::uint64_t rowBytes = (std::uint64_t{layout.width} * 8 + 31) / 32 * 4;
  const std::uint64_t fileRowBytes = std::uint64_t{layout.width} * layout.BytesPerSample();
  const std::uint64_t tableBytes = (4 + 6) * std::uint64_t{layout.colourCount};
  if (rowBytes * layout.height + fileRowBytes + tableBytes > kMaxImageBytes) throw InvalidTiff();
  const std::uint64_t samplesEnd = kPixelOffset + fileRowBytes * layout.height;
  if (samplesEnd > fileSize + MaxMissingPixelBytes(fileSize)) throw InvalidTiff();
  const bool mapInFile = layout.colourCount > 0 && samplesEnd + 6ull * layout.colourCount <= fileSize;
  if (layout.photometric == kPaletteImage && !mapInFile) throw InvalidTiff();
}

}  // namespace

bool SliceImage::ReadTiff(platform::InputFile& file) {
  Clear();
  try {
    std::uint8_t head[16] = {};
    file.Read(head, sizeof head);
    const std::uint32_t directoryOffset = LoadLe32(head + 4);
    const bool maker = std::memcmp(head + 8, "Voxalon", 8) == 0;
    if (LoadLe16(head) != kLittleEndian || LoadLe16(head + 2) != kTiffMagic || !maker ||
        std::uint64_t{directoryOffset} + 2 > file.Size())
      throw InvalidTiff();
    DirectoryReader directory(file, directoryOffset);
    const TiffLayout layout = ReadLayout(directory);
    CheckLayout(layout, file.Size());
    const std::uint32_t xNumerator = ReadNumerator(file, layout.xResolutionOffset);
    const std::uint32_t yNumerator = ReadNumerator(file, layout.yResolutionOffset);

    const int n = static_cast<int>(layout.colourCount);
    m_header.assign(header::kColourTable + 4 * static_cast<std::size_t>(n), 0);
    SetHeaderField32(header::kSize, 40);
    SetHeaderField32(header::kWidth, static_cast<std::int32_t>(layout.width));
    SetHeaderField32(header::kHeight, static_cast<std::int32_t>(layout.height));
    SetHeaderField16(header::kPlanes, static_cast<std::uint16_t>(layout.samplesPerPixel & 0xFF));
    SetHeaderField16(header::kBitCount, 8);
    SetHeaderField32(header::kXPelsPerMeter, PelsPerMeter(xNumerator, layout.resolutionUnit));
    SetHeaderField32(header::kYPelsPerMeter, PelsPerMeter(yNumerator, layout.resolutionUnit));
    SetHeaderField32(header::kColoursUsed, n);
    SetHeaderField32(header::kColoursImportant, n);
    ComputeLayout();
    PrepareGreyDisplay();
    AllocatePixels();
    ReadTiffPixels(file, layout.BytesPerSample());
    if (layout.photometric == kPaletteImage) {
      ReadTiffColourMap(file);
    } else {
      ApplyColourScheme(0, 0, 255);
    }
  } catch (const InvalidTiff&) {
    Clear();
    platform::ShowFileMessage("Invalid tiff file");
    return false;
  } catch (const platform::FileError&) {
    platform::ShowFileMessage("Read error 1");
    return false;
  } catch (const std::bad_alloc&) {
    Clear();  // out of memory is no fault of the file: the read fails, and the image reports nothing
    return false;
  }
  m_lowerLevel = m_colourCount / 2 - 1;
  m_upperLevel = m_colourCount + m_colourCount / 2 - 1;
  return true;
}

// File rows run top-down without padding; 16-bit samples keep their high byte.
void SliceImage::ReadTiffPixels(platform::InputFile& file, int bytesPerSample) {
  const std::size_t width = static_cast<std::size_t>(GetWidth());
  const int height = GetHeight();
  std::vector<std::uint8_t> row(width * bytesPerSample);
  file.Seek(kPixelOffset);
  for (int k = 0; k < height; ++k) {
    std::fill(row.begin(), row.end(), 0);  // a short pixel area reads as 0
    file.Read(row.data(), row.size());
    std::uint8_t* target = m_bits.data() + static_cast<std::size_t>(height - 1 - k) * m_rowBytes;
    if (bytesPerSample == 1) {
      std::memcpy(target, row.data(), width);
    } else {
      for (std::size_t x = 0; x < width; ++x) target[x] = row[2 * x + 1];
    }
  }
}

// The colour map follows the pixels: n red, then n green, then n blue 16-bit values. The file
// colours become the current table; the original colours stay grey.
void SliceImage::ReadTiffColourMap(platform::InputFile& file) {
  const std::size_t n = static_cast<std::size_t>(m_colourCount);
  std::vector<std::uint8_t> map(6 * n, 0);
  file.Read(map.data(), map.size());
  std::uint8_t* table = GetColourTable();
  for (std::size_t channel = 0; channel < 3; ++channel) {
    const std::size_t tableByte = 2 - channel;  // entries hold blue, green, red
    for (std::size_t i = 0; i < n; ++i) table[4 * i + tableByte] = map[2 * (channel * n + i) + 1];
  }
  SetColourCountFromBits();
  UpdatePalette();
}

}  // namespace orvel
