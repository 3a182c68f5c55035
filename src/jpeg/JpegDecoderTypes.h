#pragma once
// What the decoder knows about a stream: its frame (size, components and their sampling), the
// quantization tables, and where each component's samples go.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jpeg/JpegTables.h"

namespace orvel::jpeg {

// Zig-zag position to natural index, extended by 16 entries that all name the last coefficient:
// a damaged zero run may step up to 15 places past position 63, and must still land in the block.
inline constexpr std::array<std::uint8_t, 80> kZigzagToNaturalPadded = [] {
  std::array<std::uint8_t, 80> order{};
  for (int k = 0; k < 80; ++k) order[k] = k < 64 ? kZigzagToNatural[k] : 63;
  return order;
}();

// Dequantization factors by zig-zag position; the padding positions multiply by 0.
struct QuantTable {
  bool defined = false;
  std::array<std::uint16_t, 80> zigzag{};
};

// A rectangle of 8-bit samples a component's blocks are written into. Blocks that reach past
// width or height are clipped; stride may be negative (bottom-up bitmap rows).
struct SampleView {
  std::uint8_t* origin = nullptr;  // the top-left sample
  std::ptrdiff_t stride = 0;
  int width = 0, height = 0;
};

struct Component {
  int id = 0;
  int h = 1, v = 1;  // sampling factors
  int quantIndex = 0;
  int dcTable = 0, acTable = 0;  // of the current scan
  int dcPredictor = 0;
  // Blocks that cover the component's samples, and the same rounded up to whole MCUs.
  int blocksPerLine = 0, blocksPerColumn = 0;
  int paddedBlocksPerLine = 0, paddedBlocksPerColumn = 0;
  int sampleWidth = 0, sampleHeight = 0;  // ceil(frame size * factor / largest factor)
  bool needed = true;                     // the output uses its samples
  std::vector<std::uint8_t> plane;        // its samples when they are not written to the bitmap
  SampleView view;
  std::vector<std::int16_t> coefficients;  // progressive frames: 64 per padded block
  int decodedBlockRows = 0;                // rows of blocks whose samples are final
};

struct Frame {
  bool defined = false;
  bool progressive = false;
  int width = 0, height = 0;
  int maxH = 1, maxV = 1;
  int mcusPerLine = 0, mcusPerColumn = 0;
  std::vector<Component> components;
};

// The components and spectral selection of one scan.
struct Scan {
  int componentCount = 0;
  std::array<int, 4> components{};  // indices into Frame::components
  std::array<int, 4> dcTables{}, acTables{};
  int spectralStart = 0, spectralEnd = 63;
  int approximationHigh = 0, approximationLow = 0;
};

}  // namespace orvel::jpeg
