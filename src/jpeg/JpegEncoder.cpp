#include "jpeg/JpegEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <span>
#include <stdexcept>

#include "jpeg/JpegBitWriter.h"
#include "jpeg/JpegEncoderMarkers.h"
#include "jpeg/JpegHuffmanEncoder.h"
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {
namespace {

constexpr int kMaxDimension = 65535;  // the 16-bit size fields of SOF0
constexpr char kBanner[] = "Orvel JPEG codec, version [" ORVEL_VERSION "]";

constexpr std::array<FrameComponent, 1> kGreyComponents = {{{1, 0, 0, 0}}};
// Y with the luminance tables; Cb and Cr each with their own copy of the chrominance table.
constexpr std::array<FrameComponent, 3> kColourComponents = {{{1, 0, 0, 0}, {2, 1, 1, 1}, {3, 2, 1, 1}}};

// What coding one component's blocks needs.
struct ComponentCoder {
  QuantDivisors divisors;
  HuffmanCodeTable dc;
  HuffmanCodeTable ac;
  int lastDc = 0;
};

int ValidateInput(const EncoderInput& input) {
  if (input.channels != 1 && input.channels != 3) return kUnsupportedBytesPerPixel;
  if (input.pixels == nullptr || input.width < 1 || input.height < 1 || input.width > kMaxDimension ||
      input.height > kMaxDimension)
    return kInvalidProperties;
  // In 64 bits: width * channels cannot overflow there, but may exceed an int stride.
  if (static_cast<std::int64_t>(input.strideBytes) < std::int64_t{input.width} * input.channels)
    return kInvalidProperties;
  return kSuccess;
}

// The quantization tables written for the input's quality, in zig-zag order.
struct QuantTables {
  Block64 luminance;
  Block64 chrominance;
};

void EmitHeaders(Stream& stream, const EncoderInput& input, const QuantTables& quant,
                 std::span<const FrameComponent> components) {
  EmitSoi(stream);
  EmitApp0Jfif(stream);
  EmitComment(stream, kBanner);
  for (const FrameComponent& component : components)
    EmitDqt(stream, component.quantTable, component.quantTable == 0 ? quant.luminance : quant.chrominance);
  EmitDht(stream, 0, 0, kLuminanceDcHuffman);
  EmitDht(stream, 1, 0, kLuminanceAcHuffman);
  if (components.size() > 1) {
    EmitDht(stream, 0, 1, kChrominanceDcHuffman);
    EmitDht(stream, 1, 1, kChrominanceAcHuffman);
  }
  EmitSof0(stream, input.width, input.height, components);
  EmitSos(stream, components);
}

ComponentCoder MakeCoder(const Block64& quantZigzag, const HuffmanTableSource& dc, const HuffmanTableSource& ac) {
  ComponentCoder coder;
  coder.divisors = MakeQuantDivisors(quantZigzag);
  // The built-in tables are valid prefix codes; a failure here is a programming error.
  if (!BuildHuffmanCodeTable(dc, coder.dc) || !BuildHuffmanCodeTable(ac, coder.ac))
    throw std::logic_error("Huffman table");
  return coder;
}

// Walks the picture in strips of 8 rows (one MCU row) and codes their blocks.
class ScanEncoder {
 public:
  ScanEncoder(const EncoderInput& input, const EncoderKernels& kernels, BitWriter& writer)
      : m_input(input), m_kernels(kernels), m_writer(writer), m_paddedWidth((input.width + 7) & ~7) {}

  void EncodeGrey(ComponentCoder& grey);
  void EncodeColour(ComponentCoder& luma, ComponentCoder& blueChroma, ComponentCoder& redChroma);

 private:
  // Stored row of picture row y (0 = top).
  const std::uint8_t* SourceRow(int y) const {
    const int storedRow = m_input.bottomUp ? m_input.height - 1 - y : y;
    return m_input.pixels + static_cast<std::ptrdiff_t>(storedRow) * m_input.strideBytes;
  }
  std::ptrdiff_t SourceRowStep() const { return m_input.bottomUp ? -m_input.strideBytes : m_input.strideBytes; }

  // Widens row `row` of a strip plane to the padded width by repeating its last pixel, so that
  // partial blocks carry no artificial edge.
  void PadRight(std::uint8_t* plane, int row) const {
    std::uint8_t* line = plane + static_cast<std::size_t>(row) * m_paddedWidth;
    std::fill(line + m_input.width, line + m_paddedWidth, line[m_input.width - 1]);
  }

  void LoadGreyStrip(int top);
  void LoadColourStrip(int top);
  void EncodeOneBlock(const std::uint8_t* samples, std::ptrdiff_t stride, ComponentCoder& coder) {
    alignas(32) std::int16_t zigzag[64];
    m_writer.EnsureRoom(kMaxBlockBytes);
    const std::uint64_t nonZero = m_kernels.forwardDctQuantize(samples, stride, coder.divisors, zigzag);
    EncodeBlock(m_writer, zigzag, nonZero, coder.lastDc, coder.dc, coder.ac);
  }

  const EncoderInput& m_input;
  const EncoderKernels& m_kernels;
  BitWriter& m_writer;
  const int m_paddedWidth;                // width rounded up to whole blocks
  std::vector<std::uint8_t> m_planes[3];  // strip of 8 rows x padded width per component
};

void ScanEncoder::LoadGreyStrip(int top) {
  std::vector<std::uint8_t>& plane = m_planes[0];
  plane.resize(static_cast<std::size_t>(m_paddedWidth) * 8);
  for (int row = 0; row < 8; ++row) {
    // Rows below the picture repeat its last row.
    const int y = std::min(top + row, m_input.height - 1);
    std::memcpy(plane.data() + static_cast<std::size_t>(row) * m_paddedWidth, SourceRow(y), m_input.width);
    PadRight(plane.data(), row);
  }
}

void ScanEncoder::EncodeGrey(ComponentCoder& grey) {
  const bool wholeBlocks = m_input.width % 8 == 0;
  for (int top = 0; top < m_input.height; top += 8) {
    const std::uint8_t* samples = SourceRow(top);
    std::ptrdiff_t stride = SourceRowStep();
    if (!wholeBlocks || top + 8 > m_input.height) {
      LoadGreyStrip(top);
      samples = m_planes[0].data();
      stride = m_paddedWidth;
    }
    for (int x = 0; x < m_paddedWidth; x += 8) EncodeOneBlock(samples + x, stride, grey);
  }
}

void ScanEncoder::LoadColourStrip(int top) {
  for (std::vector<std::uint8_t>& plane : m_planes) plane.resize(static_cast<std::size_t>(m_paddedWidth) * 8);
  for (int row = 0; row < 8; ++row) {
    const std::size_t offset = static_cast<std::size_t>(row) * m_paddedWidth;
    if (top + row < m_input.height) {
      m_kernels.bgrToYcc(SourceRow(top + row), m_input.width, m_planes[0].data() + offset, m_planes[1].data() + offset,
                         m_planes[2].data() + offset);
      for (std::vector<std::uint8_t>& plane : m_planes) PadRight(plane.data(), row);
    } else {
      for (std::vector<std::uint8_t>& plane : m_planes)
        std::memcpy(plane.data() + offset, plane.data() + offset - m_paddedWidth, m_paddedWidth);
    }
  }
}

void ScanEncoder::EncodeColour(ComponentCoder& luma, ComponentCoder& blueChroma, ComponentCoder& redChroma) {
  for (int top = 0; top < m_input.height; top += 8) {
    LoadColourStrip(top);
    // One MCU = one block of each component, in frame order.
    for (int x = 0; x < m_paddedWidth; x += 8) {
      EncodeOneBlock(m_planes[0].data() + x, m_paddedWidth, luma);
      EncodeOneBlock(m_planes[1].data() + x, m_paddedWidth, blueChroma);
      EncodeOneBlock(m_planes[2].data() + x, m_paddedWidth, redChroma);
    }
  }
}

// A first guess of the scan size, to spare most re-allocations; the writer grows as needed.
std::size_t ScanSizeGuess(const EncoderInput& input) {
  const std::size_t samples = static_cast<std::size_t>(input.width) * input.height * input.channels;
  return std::min<std::size_t>(samples / 2 + 4096, std::size_t{64} << 20);
}

void EncodeImage(const EncoderInput& input, Stream& stream, CpuVariant variant) {
  const bool colour = input.channels == 3;
  const QuantTables quant = {ScaleQuantTable(kLuminanceQuantZigzag, input.quality),
                             ScaleQuantTable(kChrominanceQuantZigzag, input.quality)};
  EmitHeaders(
      stream, input, quant,
      colour ? std::span<const FrameComponent>(kColourComponents) : std::span<const FrameComponent>(kGreyComponents));
  stream.reserve(stream.size() + ScanSizeGuess(input));
  const EncoderKernels kernels = SelectEncoderKernels(variant);
  BitWriter writer(stream);
  ScanEncoder scan(input, kernels, writer);
  ComponentCoder luma = MakeCoder(quant.luminance, kLuminanceDcHuffman, kLuminanceAcHuffman);
  if (colour) {
    ComponentCoder blueChroma = MakeCoder(quant.chrominance, kChrominanceDcHuffman, kChrominanceAcHuffman);
    ComponentCoder redChroma = blueChroma;
    scan.EncodeColour(luma, blueChroma, redChroma);
  } else {
    scan.EncodeGrey(luma);
  }
  writer.Finish();
  EmitEoi(stream);
}

}  // namespace

const char* EncoderBanner() { return kBanner; }

int EncodeBaseline(const EncoderInput& input, std::vector<std::uint8_t>& stream) {
  return EncodeBaseline(input, stream, DetectCpuVariant());
}

int EncodeBaseline(const EncoderInput& input, std::vector<std::uint8_t>& stream, CpuVariant variant) {
  stream.clear();
  if (const int status = ValidateInput(input); status != kSuccess) return status;
  try {
    EncodeImage(input, stream, variant);
  } catch (const std::bad_alloc&) {
    stream.clear();
    return kMemoryError;
  } catch (const std::exception&) {
    stream.clear();
    return kInternalError;
  }
  return kSuccess;
}

}  // namespace orvel::jpeg
