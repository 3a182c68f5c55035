// Sequential scans: each block is Huffman-decoded, dequantized and transformed at once.
#include <cstring>

#include "jpeg/JpegDecoderScanLoop.h"

namespace orvel::jpeg {

namespace {

// Decodes one block's coefficients, dequantized, into block (natural order, all zero on entry).
// Returns the zig-zag position of the last coefficient written, 0 when only DC is present.
// Products and sums are formed in int and stored modulo 2^16: a damaged stream gives wrong
// samples, never undefined arithmetic.
inline int DecodeSequentialBlock(BitReader& reader, const HuffmanTable& dcTable, const HuffmanTable& acTable,
                                 const std::uint16_t* quant, int& predictor, std::int16_t* block) {
  reader.FillIfBelow(32);
  const int category = DecodeSymbol(reader, dcTable);
  if (category > 16) Fail(kDataError);
  const int difference = category == 0 ? 0 : ExtendValue(reader.Take(category), category);
  predictor = static_cast<std::int16_t>(predictor + difference);
  block[0] = static_cast<std::int16_t>(predictor * quant[0]);
  int last = 0;
  for (int k = 1; k < 64;) {
    reader.FillIfBelow(32);
    const std::int32_t fast = acTable.fastAc[reader.Peek(HuffmanTable::kFastBits)];
    if (fast != 0) {
      // Zero run, code and value resolved by the look-up alone.
      k += (fast >> 4) & 15;
      reader.Skip(fast & 15);
      block[kZigzagToNaturalPadded[k]] = static_cast<std::int16_t>((fast >> 8) * quant[k]);
      last = k++;
      continue;
    }
    const int symbol = DecodeSymbol(reader, acTable);
    const int run = symbol >> 4, size = symbol & 15;
    if (size == 0) {
      if (run != 15) break;  // end of block
      k += 16;               // sixteen zeros
      continue;
    }
    k += run;
    const int value = ExtendValue(reader.Take(size), size);
    block[kZigzagToNaturalPadded[k]] = static_cast<std::int16_t>(value * quant[k]);
    last = k++;
  }
  return last;
}

void FillBlock(std::uint8_t* out, std::ptrdiff_t stride, std::uint8_t value) {
  for (int row = 0; row < 8; ++row, out += stride) std::memset(out, value, 8);
}

}  // namespace

// Writes the samples of a block to its component's view, clipping at the view's edge.
void JpegDecoder::StoreBlock(const Component& component, int blockX, int blockY, const std::int16_t* block,
                             bool dcOnly) {
  const SampleView& view = component.view;
  const int x = blockX * 8, y = blockY * 8;
  if (x >= view.width || y >= view.height) return;
  std::uint8_t* out = view.origin + y * view.stride + x;
  if (x + 8 <= view.width && y + 8 <= view.height) {
    if (dcOnly) FillBlock(out, view.stride, DcOnlySample(block[0]));
    else m_routines.idct(block, out, view.stride);
    return;
  }
  std::uint8_t samples[64];
  m_routines.idct(block, samples, 8);
  const int columns = std::min(8, view.width - x), rows = std::min(8, view.height - y);
  for (int row = 0; row < rows; ++row) std::memcpy(out + row * view.stride, samples + row * 8, columns);
}

void JpegDecoder::DecodeSequentialScan(const Scan& scan, BitReader& reader) {
  for (int i = 0; i < scan.componentCount; ++i) {
    const Component& component = m_frame.components[scan.components[i]];
    if (!m_dcTables[component.dcTable].defined || !m_acTables[component.acTable].defined) Fail(kNoHuffmanTable);
    if (!m_quant[component.quantIndex].defined) Fail(kNoQuantizationTable);
  }
  std::int16_t* block = m_block.data();
  ForEachBlock(scan, reader, [&](Component& component, int blockX, int blockY) {
    const int last = DecodeSequentialBlock(reader, m_dcTables[component.dcTable], m_acTables[component.acTable],
                                           m_quant[component.quantIndex].zigzag.data(), component.dcPredictor, block);
    // A block whose bits ran past the data was made up from padding: it is not the picture's.
    if (component.needed && !reader.Overran()) StoreBlock(component, blockX, blockY, block, last == 0);
    if (last == 0) block[0] = 0;
    else std::memset(block, 0, 64 * sizeof(std::int16_t));
  });
}

// Between restart intervals: the rest of the interval's bits are padding; the next marker must be
// a restart marker, after which the predictions start again.
void JpegDecoder::ProcessRestart(const Scan& scan, BitReader& reader) {
  const std::size_t at = FindMarker(static_cast<std::size_t>(reader.Position() - m_stream.data()));
  if (at >= m_stream.size() || m_stream[at + 1] < 0xD0 || m_stream[at + 1] > 0xD7) Fail(kBadRstMarker);
  m_position = at + 2;
  reader.Reset(m_stream.data() + m_position, m_stream.data() + m_stream.size());
  for (int i = 0; i < scan.componentCount; ++i) m_frame.components[scan.components[i]].dcPredictor = 0;
  m_eobRun = 0;
}

void JpegDecoder::DecodeScan(const Scan& scan) {
  bool anyNeeded = false;
  for (int i = 0; i < scan.componentCount; ++i) anyNeeded |= m_frame.components[scan.components[i]].needed;
  // Scans of unused components are passed over. (Progressive AC scans, whose decoding depends on
  // the coefficients of earlier scans, always hold one component, so none of them is partly used.)
  if (!anyNeeded) {
    SkipEntropyCodedData();
    return;
  }
  for (int i = 0; i < scan.componentCount; ++i) {
    Component& component = m_frame.components[scan.components[i]];
    component.dcPredictor = 0;
    component.dcTable = scan.dcTables[i];
    component.acTable = scan.acTables[i];
  }
  m_eobRun = 0;
  BitReader reader;
  reader.Reset(m_stream.data() + m_position, m_stream.data() + m_stream.size());
  try {
    if (m_frame.progressive) DecodeProgressiveScan(scan, reader);
    else DecodeSequentialScan(scan, reader);
  } catch (const DecodeError&) {
    m_position = static_cast<std::size_t>(reader.Position() - m_stream.data());
    throw;
  }
  m_position = static_cast<std::size_t>(reader.Position() - m_stream.data());
  SkipEntropyCodedData();
}

}  // namespace orvel::jpeg
