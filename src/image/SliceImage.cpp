#include "image/SliceImage.h"

#include <algorithm>
#include <cstring>

#include "image/ByteOrder.h"
#include "image/ColourTable.h"

namespace orvel {

void SliceImage::Clear() {
  m_header.clear();
  m_bits.clear();
  m_originalColours.clear();
  m_displayPalette.reset();
  m_colourCount = 0;
  m_imageBytes = 0;
  m_rowPadding = 0;
  m_rowBytes = 0;
}

std::int32_t SliceImage::HeaderField32(int offset) const {
  if (m_header.size() < static_cast<std::size_t>(offset) + 4) return 0;
  return static_cast<std::int32_t>(LoadLe32(m_header.data() + offset));
}

std::uint16_t SliceImage::HeaderField16(int offset) const {
  if (m_header.size() < static_cast<std::size_t>(offset) + 2) return 0;
  return LoadLe16(m_header.data() + offset);
}

void SliceImage::SetHeaderField32(int offset, std::int32_t value) {
  if (m_header.size() >= static_cast<std::size_t>(offset) + 4)
    StoreLe32(m_header.data() + offset, static_cast<std::uint32_t>(value));
}

void SliceImage::SetHeaderField16(int offset, std::uint16_t value) {
  if (m_header.size() >= static_cast<std::size_t>(offset) + 2) StoreLe16(m_header.data() + offset, value);
}

int SliceImage::GetBitCount() const { return HeaderField16(header::kBitCount); }
int SliceImage::GetWidth() const { return HeaderField32(header::kWidth); }
int SliceImage::GetHeight() const { return HeaderField32(header::kHeight); }
std::int32_t SliceImage::GetXPelsPerMeter() const { return HeaderField32(header::kXPelsPerMeter); }
std::int32_t SliceImage::GetYPelsPerMeter() const { return HeaderField32(header::kYPelsPerMeter); }
void SliceImage::SetXPelsPerMeter(std::int32_t value) { SetHeaderField32(header::kXPelsPerMeter, value); }
void SliceImage::SetYPelsPerMeter(std::int32_t value) { SetHeaderField32(header::kYPelsPerMeter, value); }

double SliceImage::GetPixelSizeMm() const {
  const std::int32_t pelsPerMeter = GetXPelsPerMeter();
  return pelsPerMeter == 0 ? 0.0 : 1000.0 / pelsPerMeter;
}

void SliceImage::SetColourCountFromBits() {
  const std::int32_t used = HeaderField32(header::kColoursUsed);
  if (!m_header.empty() && used != 0) {
    m_colourCount = used;
    return;
  }
  switch (GetBitCount()) {
    case 1: m_colourCount = 2; break;
    case 4: m_colourCount = 16; break;
    case 8: m_colourCount = 256; break;
    case 16:
    case 24:
    case 32: m_colourCount = 0; break;
    default: break;
  }
}

// Row sizes are computed in 64 bits so that rows of 65536 bits and more lay out correctly.
void SliceImage::ComputeLayout() {
  m_rowPadding = 0;
  m_rowBytes = 0;
  m_imageBytes = 0;
  SetHeaderField32(header::kImageSize, 0);
  const std::int64_t width = GetWidth();
  if (width == 0) return;
  const std::int64_t bitsPerRow = width * GetBitCount();
  const std::int64_t rowBytes = (bitsPerRow + 31) / 32 * 4;
  const std::int64_t height = GetHeight();
  const std::int64_t imageBytes = rowBytes * (height < 0 ? -height : height);
  if (bitsPerRow <= 0 || imageBytes > static_cast<std::int64_t>(kMaxImageBytes)) return;
  m_rowBytes = static_cast<std::int32_t>(rowBytes);
  m_imageBytes = static_cast<std::uint32_t>(imageBytes);
  // Bytes after the last pixel of a row (a row of 1 or 2 grey pixels still pads to 4 bytes).
  m_rowPadding = static_cast<std::int32_t>(rowBytes - (bitsPerRow + 7) / 8);
}

std::uint8_t* SliceImage::GetColourTable() {
  const std::size_t needed = header::kColourTable + 4 * static_cast<std::size_t>(m_colourCount);
  return m_colourCount > 0 && m_header.size() >= needed ? m_header.data() + header::kColourTable : nullptr;
}

const std::uint8_t* SliceImage::GetColourTable() const { return const_cast<SliceImage*>(this)->GetColourTable(); }

bool SliceImage::Create(int width, int height, int bitsPerPixel, bool keepLevels) {
  const int levelMode = m_levelMode, lower = m_lowerLevel, upper = m_upperLevel;
  const int binaryLow = m_binaryLow, binaryHigh = m_binaryHigh;
  Clear();
  m_header.assign(header::kColourTable, 0);
  SetHeaderField16(header::kBitCount, static_cast<std::uint16_t>(bitsPerPixel));
  SetColourCountFromBits();
  m_header.assign(header::kColourTable + 4 * static_cast<std::size_t>(m_colourCount), 0);
  SetHeaderField32(header::kSize, 40);
  SetHeaderField32(header::kWidth, width);
  SetHeaderField32(header::kHeight, height);
  SetHeaderField16(header::kPlanes, 1);
  SetHeaderField16(header::kBitCount, static_cast<std::uint16_t>(bitsPerPixel));
  SetHeaderField32(header::kColoursUsed, m_colourCount);
  SetHeaderField32(header::kColoursImportant, m_colourCount);
  ComputeLayout();
  AllocatePixels();
  m_originalColours.assign(4 * static_cast<std::size_t>(m_colourCount), 0);
  ResetLevels();
  UpdatePalette();
  if (keepLevels) {
    m_levelMode = levelMode;
    m_lowerLevel = lower;
    m_upperLevel = upper;
    m_binaryLow = binaryLow;
    m_binaryHigh = binaryHigh;
  }
  return true;
}

void SliceImage::ResetLevels() {
  m_lowerLevel = m_colourCount / 2 - 1;
  m_upperLevel = m_colourCount + m_colourCount / 2 - 1;
}

bool SliceImage::UpdatePalette() {
  const std::uint8_t* table = GetColourTable();
  if (m_colourCount == 0 || !table) return false;
  const std::size_t tableBytes = 4 * static_cast<std::size_t>(m_colourCount);
  const bool unchanged = m_displayPalette && m_paletteSource.size() == tableBytes &&
                         std::memcmp(m_paletteSource.data(), table, tableBytes) == 0;
  if (unchanged) return true;
  auto palette = std::make_shared<DisplayPalette>(static_cast<std::size_t>(m_colourCount));
  for (int i = 0; i < m_colourCount; ++i) (*palette)[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
  m_displayPalette = std::move(palette);
  m_paletteSource.assign(table, table + tableBytes);
  return true;
}

// An image without a colour table still takes the scheme: the preview and the colour bar copy
// theirs from the slice, which is empty after a failed read, and must show the mode chosen then.
bool SliceImage::ApplyColourScheme(int scheme, int low, int high) {
  m_scheme = scheme;
  std::uint8_t* table = GetColourTable();
  if (m_colourCount == 0 || !table) return false;
  if (m_levelMode == kThresholdLevels) {
    low = m_binaryLow;
    high = m_binaryHigh;
  }
  // Every read and Create keep the original colours as long as the table; should they ever be
  // shorter, they are padded with black once here rather than on every redraw.
  const std::size_t tableBytes = 4 * static_cast<std::size_t>(m_colourCount);
  if (m_originalColours.size() < tableBytes) m_originalColours.resize(tableBytes, 0);
  ComputeColourTable(scheme, m_colourCount, m_lowerLevel, m_upperLevel, low, high, m_originalColours.data(), table);
  UpdatePalette();
  return true;
}

void SliceImage::ShowOriginal() {
  std::uint8_t* table = GetColourTable();
  if (table && !m_originalColours.empty() && m_colourCount > 0)
    std::memcpy(table, m_originalColours.data(),
                std::min(m_originalColours.size(), 4 * static_cast<std::size_t>(m_colourCount)));
  m_levelMode = kWindowLevels;
  ApplyColourScheme(IsInverted() ? 9 : 8, 0, 255);
}

void SliceImage::ShowGreyscale() {
  m_levelMode = kWindowLevels;
  ApplyColourScheme(IsInverted() ? 1 : 0, 0, 255);
}

void SliceImage::ShowColour1() {
  m_levelMode = kWindowLevels;
  ApplyColourScheme(IsInverted() ? 3 : 2, 0, 255);
}

void SliceImage::ShowColour2() {
  m_levelMode = kWindowLevels;
  ApplyColourScheme(IsInverted() ? 5 : 4, 0, 255);
}

void SliceImage::ShowBinary() {
  m_levelMode = kThresholdLevels;
  ApplyColourScheme(IsInverted() ? 7 : 6, 0, 255);
}

bool SliceImage::IsInverted() const { return m_scheme % 2 == 1; }

bool SliceImage::SetInverted(bool on) {
  const bool previous = IsInverted();
  if (on && m_scheme % 2 == 0) m_scheme += 1;
  if (!on && m_scheme % 2 == 1) m_scheme -= 1;
  ApplyColourScheme(m_scheme, 0, 255);
  return previous;
}

void SliceImage::CopyDisplaySettings(const SliceImage& other) {
  m_levelMode = other.m_levelMode;
  m_lowerLevel = other.m_lowerLevel;
  m_upperLevel = other.m_upperLevel;
  m_binaryLow = other.m_binaryLow;
  m_binaryHigh = other.m_binaryHigh;
  ApplyColourScheme(other.m_scheme, 0, 255);
}

void SliceImage::FillGreyColourTable() {
  std::uint8_t* table = GetColourTable();
  if (m_colourCount != 256 || !table) return;
  for (int i = 0; i < 256; ++i) {
    const auto grey = static_cast<std::uint8_t>(i);
    table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = grey;
    table[4 * i + 3] = 0;
  }
}

void SliceImage::PrepareGreyDisplay() {
  SetColourCountFromBits();
  FillGreyColourTable();
  const std::uint8_t* table = GetColourTable();
  if (table) m_originalColours.assign(table, table + 4 * static_cast<std::size_t>(m_colourCount));
  m_lowerLevel = m_colourCount / 2;
  m_upperLevel = m_colourCount + m_colourCount / 2 - 1;
  UpdatePalette();
}

}  // namespace orvel
