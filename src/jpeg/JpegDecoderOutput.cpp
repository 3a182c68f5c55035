// From component samples to bitmap rows: where the samples go, upsampling of subsampled
// components (the triangle filter of the JFIF siting for factors of two, replication otherwise)
// and colour conversion.
#include <algorithm>
#include <cstring>

#include "jpeg/JpegDecoder.h"
#include "jpeg/JpegDecoderColour.h"

namespace orvel::jpeg {

namespace {

std::uint8_t* RowOf(const BitmapTarget& target, int y) {
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(target.width) * target.channels + target.padBytes;
  const int storageRow = target.bottomUp ? target.height - 1 - y : y;
  return target.pixels + storageRow * stride;
}

// Factor-of-two horizontal triangle filter: each output is 3/4 of its own input sample and 1/4
// of the neighbour on its side, edges replicated.
void UpsampleH2(const std::uint8_t* in, int inWidth, std::uint8_t* out, int outWidth) {
  for (int x = 0; x < outWidth; ++x) {
    const int c = x >> 1;
    if ((x & 1) == 0) out[x] = static_cast<std::uint8_t>((3 * in[c] + in[std::max(c - 1, 0)] + 1) >> 2);
    else out[x] = static_cast<std::uint8_t>((3 * in[c] + in[std::min(c + 1, inWidth - 1)] + 2) >> 2);
  }
}

// Both directions: column sums of 3/4 near row and 1/4 far row, then the horizontal filter.
void UpsampleH2V2(const std::uint8_t* near, const std::uint8_t* far, int inWidth, std::uint8_t* out, int outWidth) {
  auto sum = [&](int c) { return 3 * near[c] + far[c]; };
  for (int x = 0; x < outWidth; ++x) {
    const int c = x >> 1;
    if ((x & 1) == 0) out[x] = static_cast<std::uint8_t>((3 * sum(c) + sum(std::max(c - 1, 0)) + 8) >> 4);
    else out[x] = static_cast<std::uint8_t>((3 * sum(c) + sum(std::min(c + 1, inWidth - 1)) + 7) >> 4);
  }
}

void UpsampleV2(const std::uint8_t* near, const std::uint8_t* far, int bias, std::uint8_t* out, int width) {
  for (int x = 0; x < width; ++x) out[x] = static_cast<std::uint8_t>((3 * near[x] + far[x] + bias) >> 2);
}

std::uint8_t LumaOfRgb(int red, int green, int blue) {
  return static_cast<std::uint8_t>((19595 * red + 38470 * green + 7471 * blue + 32768) >> 16);
}

}  // namespace

// Decides which components the output uses and where their samples go; allocates their planes.
// The stream, the bitmap and what the decoder allocates here count together against the bound, so
// a frame header of a few bytes cannot make one decode take more memory than any slice may.
int JpegDecoder::PrepareComponents(const BitmapTarget& target) {
  const bool rgb = IsRgbStream();
  const Component& first = m_frame.components[0];
  m_direct = target.channels == 1 && !rgb && first.h == m_frame.maxH && first.v == m_frame.maxV;
  const std::uint64_t stride = std::uint64_t(target.width) * std::uint64_t(target.channels) + target.padBytes;
  std::uint64_t bytes = m_stream.size() + stride * std::uint64_t(target.height);
  for (std::size_t i = 0; i < m_frame.components.size(); ++i) {
    Component& c = m_frame.components[i];
    c.needed = i == 0 || target.channels == 3 || rgb;
    if (!c.needed) continue;
    if (m_frame.maxH % c.h != 0 || m_frame.maxV % c.v != 0) return kUnsupportedSubsampling;
    const std::uint64_t samples = std::uint64_t(c.paddedBlocksPerLine) * std::uint64_t(c.paddedBlocksPerColumn) * 64;
    const bool plane = !(i == 0 && m_direct);
    bytes += samples * ((plane ? 1 : 0) + (m_frame.progressive ? sizeof(std::int16_t) : 0));
  }
  if (bytes > kMaxDecodeBytes) return kMemoryError;
  for (std::size_t i = 0; i < m_frame.components.size(); ++i) {
    Component& c = m_frame.components[i];
    if (!c.needed) continue;
    const std::size_t blocks = static_cast<std::size_t>(c.paddedBlocksPerLine) * c.paddedBlocksPerColumn;
    if (m_frame.progressive) c.coefficients.assign(blocks * 64, 0);
    if (i == 0 && m_direct) {
      const std::ptrdiff_t rowStride = static_cast<std::ptrdiff_t>(target.width) + target.padBytes;
      c.view = {RowOf(target, 0), target.bottomUp ? -rowStride : rowStride, target.width, target.height};
      continue;
    }
    c.plane.assign(blocks * 64, 0);
    c.view = {c.plane.data(), c.paddedBlocksPerLine * 8, c.paddedBlocksPerLine * 8, c.paddedBlocksPerColumn * 8};
  }
  return kSuccess;
}

// Picture rows whose samples are final in every component the output uses.
int JpegDecoder::CompleteRows() const {
  int rows = m_frame.height;
  for (const Component& c : m_frame.components) {
    if (!c.needed || c.decodedBlockRows >= c.blocksPerColumn) continue;
    rows = std::min(rows, c.decodedBlockRows * 8 * (m_frame.maxV / c.v));
  }
  return rows;
}

// Picture row y of a component at full resolution: the plane's row itself, or buffer filled.
const std::uint8_t* JpegDecoder::UpsampledRow(const Component& c, int y, std::uint8_t* buffer) const {
  const int horizontal = m_frame.maxH / c.h, vertical = m_frame.maxV / c.v;
  const std::ptrdiff_t stride = c.view.stride;
  const std::uint8_t* plane = c.plane.data();
  const int width = m_frame.width;
  if (horizontal == 1 && vertical == 1) return plane + y * stride;
  if (vertical == 1 && horizontal == 2) {
    UpsampleH2(plane + y * stride, c.sampleWidth, buffer, width);
    return buffer;
  }
  if (vertical == 2 && horizontal <= 2) {
    // The nearer source row and the one on the far side of this output row, edges replicated.
    const int nearRow = y >> 1;
    const int farRow = std::clamp((y & 1) != 0 ? nearRow + 1 : nearRow - 1, 0, c.sampleHeight - 1);
    const std::uint8_t* near = plane + nearRow * stride;
    const std::uint8_t* far = plane + farRow * stride;
    if (horizontal == 1) UpsampleV2(near, far, (y & 1) != 0 ? 2 : 1, buffer, width);
    else UpsampleH2V2(near, far, c.sampleWidth, buffer, width);
    return buffer;
  }
  const std::uint8_t* source = plane + (y / vertical) * stride;
  for (int x = 0; x < width; ++x) buffer[x] = source[x / horizontal];
  return buffer;
}

void JpegDecoder::WriteConvertedRows(const BitmapTarget& target) {
  const bool rgb = IsRgbStream();
  const bool threeComponents = m_frame.components.size() == 3;
  if (m_direct) return;  // the only samples needed are in the bitmap already
  const int rows = CompleteRows(), width = m_frame.width;
  std::vector<std::uint8_t> buffers(3 * static_cast<std::size_t>(width));
  const std::uint8_t* source[3] = {};
  for (int y = 0; y < rows; ++y) {
    for (std::size_t i = 0; i < m_frame.components.size(); ++i)
      if (m_frame.components[i].needed) source[i] = UpsampledRow(m_frame.components[i], y, buffers.data() + i * width);
    std::uint8_t* out = RowOf(target, y);
    if (target.channels == 1 && rgb) {
      for (int x = 0; x < width; ++x) out[x] = LumaOfRgb(source[0][x], source[1][x], source[2][x]);
    } else if (target.channels == 1) {
      std::memcpy(out, source[0], static_cast<std::size_t>(width));
    } else if (!threeComponents) {
      for (int x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = source[0][x];
    } else if (rgb) {
      for (int x = 0; x < width; ++x) {
        out[3 * x] = source[2][x];
        out[3 * x + 1] = source[1][x];
        out[3 * x + 2] = source[0][x];
      }
    } else {
      YcbcrToBgr(source[0], source[1], source[2], out, width);
    }
  }
}

}  // namespace orvel::jpeg
