// Writing BMP files: the 40-byte header and colour table as held, then the pixel rows.
#include "image/BmpFile.h"

#include <algorithm>

#include "image/BmpFormat.h"
#include "image/ByteOrder.h"
#include "platform/File.h"
#include "platform/Messages.h"

namespace orvel {

bool SliceImage::WriteBmp(platform::OutputFile& file) const {
  if (m_header.empty()) return false;
  const std::size_t blockBytes =
      std::min(m_header.size(), header::kColourTable + 4 * static_cast<std::size_t>(m_colourCount));
  std::uint8_t fileHeader[kBmpFileHeaderBytes] = {};
  StoreLe16(fileHeader, kBmpType);
  StoreLe32(fileHeader + 2, static_cast<std::uint32_t>(kBmpFileHeaderBytes + blockBytes + m_imageBytes));
  StoreLe32(fileHeader + 10, static_cast<std::uint32_t>(kBmpFileHeaderBytes + blockBytes));
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
