#pragma once
// One image in memory as a device-independent bitmap: a 40-byte information header followed by
// the colour table (blue, green, red, 0 per entry) in one block, and a separate buffer of pixel
// rows stored bottom-up (storage row 0 is the bottom of the picture), each padded to 4 bytes.
// Beside the pixels it holds its display state: colour scheme, level window and thresholds.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/LargeBuffers.h"

namespace orvel {

namespace platform {
class InputFile;
class OutputFile;
}  // namespace platform

struct RgbEntry {
  std::uint8_t red, green, blue;
  bool operator==(const RgbEntry&) const = default;
};

// What the GUI paints the indexed pixels through; shared so that a kept palette is observable.
using DisplayPalette = std::vector<RgbEntry>;

// Byte offsets of the information header fields.
namespace header {
constexpr int kSize = 0, kWidth = 4, kHeight = 8, kPlanes = 12, kBitCount = 14, kCompression = 16, kImageSize = 20,
              kXPelsPerMeter = 24, kYPelsPerMeter = 28, kColoursUsed = 32, kColoursImportant = 36, kColourTable = 40;
}  // namespace header

// Leaves new elements uninitialised on resize, so that a reader that overwrites a whole pixel
// buffer does not pay for zeroing it first (a quarter of the time to read a 1 MB BMP slice), and
// maps buffers of megabytes in huge pages.
template <typename T>
using UninitialisedAllocator = platform::LargeBufferAllocator<T>;

// The most a reader allocates for one image, pixel buffer and scratch buffers together; headers
// claiming more are refused.
constexpr std::uint64_t kMaxImageBytes = std::uint64_t{1} << 30;

// How far uncompressed pixel data may end past the end of a file of fileBytes: a truncated scan
// misses at most three times what its file holds and a megabyte, and never more than 64 MiB.
// Beyond that the header is false, and the file is refused before any pixel buffer exists, so no
// reader takes more than a small multiple of its file before it has read the pixels. A truncated
// file of plausible size still reads, its missing pixels as 0.
constexpr std::uint64_t MaxMissingPixelBytes(std::uint64_t fileBytes) {
  return std::min(std::uint64_t{64} << 20, 3 * fileBytes + (std::uint64_t{1} << 20));
}

class SliceImage {
 public:
  SliceImage() = default;

  // Storage.
  void Clear();
  bool Create(int width, int height, int bitsPerPixel, bool keepLevels);
  void ResetLevels();
  bool IsEmpty() const { return m_header.empty(); }

  // Readers clear first and return true on success; writers report failures as messages.
  bool ReadBmp(platform::InputFile& file);
  bool WriteBmp(platform::OutputFile& file) const;
  bool ReadTiff(platform::InputFile& file);
  bool ReadJpeg(const std::string& path);
  // Returns whether the file was written; status, when given, receives the codec's status code
  // (0 on success), for a message that says why a save failed.
  bool WriteJpeg(const std::string& path, int quality, int* status = nullptr) const;
  // The resolution from the JFIF header of a JPEG file (3600 pixels per metre without one), and
  // into the header of a JPEG file just written; used by ReadJpeg and WriteJpeg.
  void ReadJfifDensity(const std::string& path);
  void WriteJfifDensity(const std::string& path) const;

  // Accessors.
  std::uint8_t* GetBits() { return m_bits.data(); }
  const std::uint8_t* GetBits() const { return m_bits.data(); }
  std::uint32_t GetImageBytes() const { return m_imageBytes; }
  int GetRowPadding() const { return m_rowPadding; }
  int GetRowBytes() const { return m_rowBytes; }  // stride between storage rows
  int GetColourCount() const { return m_colourCount; }
  int GetBitCount() const;
  std::pair<int, int> GetSize() const { return {GetWidth(), GetHeight()}; }
  int GetWidth() const;
  int GetHeight() const;
  // 8-bit images; x from the left, y is the storage row (0 = bottom); no bounds check.
  std::uint8_t GetPixel(int x, int y) const {
    return m_bits[static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * m_rowBytes];
  }
  void SetPixel(int x, int y, std::uint8_t value) {
    m_bits[static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * m_rowBytes] = value;
  }
  const std::uint8_t* GetStorageRow(int y) const { return m_bits.data() + static_cast<std::size_t>(y) * m_rowBytes; }
  std::int32_t GetXPelsPerMeter() const;
  std::int32_t GetYPelsPerMeter() const;
  void SetXPelsPerMeter(std::int32_t value);
  void SetYPelsPerMeter(std::int32_t value);
  double GetPixelSizeMm() const;  // millimetres per pixel; 0 without a resolution

  int GetLowerLevel() const { return m_lowerLevel; }
  void SetLowerLevel(int value) { m_lowerLevel = value; }
  int GetUpperLevel() const { return m_upperLevel; }
  void SetUpperLevel(int value) { m_upperLevel = value; }
  int GetBinaryLow() const { return m_binaryLow; }
  int GetBinaryHigh() const { return m_binaryHigh; }
  void SetBinaryThresholds(int low, int high) {
    m_binaryLow = low;
    m_binaryHigh = high;
  }
  int GetScheme() const { return m_scheme; }
  int GetLevelMode() const { return m_levelMode; }

  // The header block (information header and colour table) as held.
  const std::vector<std::uint8_t>& GetHeaderBlock() const { return m_header; }
  // The current colour table (n four-byte entries) or null; the file colours as loaded.
  std::uint8_t* GetColourTable();
  const std::uint8_t* GetColourTable() const;
  const std::vector<std::uint8_t>& GetOriginalColours() const { return m_originalColours; }
  void SetOriginalColours(const std::vector<std::uint8_t>& colours) { m_originalColours = colours; }

  // Display.
  bool UpdatePalette();
  std::shared_ptr<const DisplayPalette> GetDisplayPalette() const { return m_displayPalette; }
  bool ApplyColourScheme(int scheme, int low, int high);
  void ShowOriginal();
  void ShowGreyscale();
  void ShowColour1();
  void ShowColour2();
  void ShowBinary();
  bool IsInverted() const;
  bool SetInverted(bool on);
  void CopyDisplaySettings(const SliceImage& other);

  // Used by the readers.
  void SetColourCountFromBits();
  void ComputeLayout();
  void FillGreyColourTable();
  void PrepareGreyDisplay();
  // Makes block the header (information header and colour table) of an empty image.
  void AdoptHeaderBlock(std::vector<std::uint8_t> block) { m_header = std::move(block); }
  // Allocates the zeroed pixel buffer of GetImageBytes() bytes.
  void AllocatePixels() { m_bits.assign(m_imageBytes, 0); }
  // Allocates it without clearing: the caller writes every byte.
  void AllocatePixelsForOverwrite() {
    m_bits.clear();
    m_bits.resize(m_imageBytes);
  }
  std::int32_t HeaderField32(int offset) const;
  std::uint16_t HeaderField16(int offset) const;
  void SetHeaderField32(int offset, std::int32_t value);
  void SetHeaderField16(int offset, std::uint16_t value);

 private:
  void ReadTiffPixels(platform::InputFile& file, int bytesPerSample);
  void ReadTiffColourMap(platform::InputFile& file);

  std::uint32_t m_imageBytes = 0;
  std::int32_t m_rowPadding = 0;
  std::int32_t m_rowBytes = 0;
  std::shared_ptr<const DisplayPalette> m_displayPalette;
  std::vector<std::uint8_t> m_paletteSource;
  std::int32_t m_lowerLevel = 127;
  std::int32_t m_upperLevel = 384;
  std::int32_t m_scheme = 0;
  std::vector<std::uint8_t> m_originalColours;
  std::int32_t m_colourCount = 0;
  std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>> m_bits;
  std::vector<std::uint8_t> m_header;
  std::int32_t m_levelMode = 0;
  std::int32_t m_binaryLow = 0;
  std::int32_t m_binaryHigh = 128;
};

}  // namespace orvel
