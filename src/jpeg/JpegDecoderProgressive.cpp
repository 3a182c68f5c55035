// Progressive scans (T.81 Annex G): coefficients of the whole frame are collected over the scans,
// then dequantized and transformed once at the end.
#include <cstring>

#include "jpeg/JpegDecoderScanLoop.h"

namespace orvel::jpeg {

namespace {

struct Refinement {
  int plusOne, minusOne;  // the bit being refined, as a positive and a negative step
};

// A correction bit for a coefficient that is already non-zero.
inline void RefineCoefficient(BitReader& reader, std::int16_t& coefficient, Refinement step) {
  reader.FillIfBelow(1);
  if (reader.Take(1) && (coefficient & step.plusOne) == 0)
    coefficient = static_cast<std::int16_t>(coefficient + (coefficient >= 0 ? step.plusOne : step.minusOne));
}

void DecodeDcFirst(BitReader& reader, const HuffmanTable& table, int shift, int& predictor, std::int16_t* block) {
  reader.FillIfBelow(32);
  const int category = DecodeSymbol(reader, table);
  if (category > 16) Fail(kDataError);
  const int difference = category == 0 ? 0 : ExtendValue(reader.Take(category), category);
  predictor = static_cast<std::int16_t>(predictor + difference);
  block[0] = static_cast<std::int16_t>(predictor * (1 << shift));
}

void DecodeDcRefine(BitReader& reader, int shift, std::int16_t* block) {
  reader.FillIfBelow(1);
  if (reader.Take(1)) block[0] = static_cast<std::int16_t>(block[0] | (1 << shift));
}

void DecodeAcFirst(BitReader& reader, const HuffmanTable& table, const Scan& scan, int& eobRun, std::int16_t* block) {
  if (eobRun > 0) {
    --eobRun;
    return;
  }
  for (int k = scan.spectralStart; k <= scan.spectralEnd;) {
    reader.FillIfBelow(32);
    const int symbol = DecodeSymbol(reader, table);
    const int run = symbol >> 4, size = symbol & 15;
    if (size == 0) {
      if (run < 15) {
        // End of band in this block and in (2^run - 1 + extra bits) blocks after it.
        eobRun = (1 << run) - 1 + (run > 0 ? static_cast<int>(reader.Take(run)) : 0);
        return;
      }
      k += 16;
      continue;
    }
    k += run;
    const int value = ExtendValue(reader.Take(size), size);
    block[kZigzagToNaturalPadded[k]] = static_cast<std::int16_t>(value * (1 << scan.approximationLow));
    ++k;
  }
}

void DecodeAcRefine(BitReader& reader, const HuffmanTable& table, const Scan& scan, int& eobRun, std::int16_t* block) {
  const Refinement step{1 << scan.approximationLow, -(1 << scan.approximationLow)};
  int k = scan.spectralStart;
  if (eobRun == 0) {
    while (k <= scan.spectralEnd) {
      reader.FillIfBelow(32);
      const int symbol = DecodeSymbol(reader, table);
      int run = symbol >> 4;
      int value = 0;
      if ((symbol & 15) == 0) {
        if (run < 15) {
          eobRun = (1 << run) + (run > 0 ? static_cast<int>(reader.Take(run)) : 0);
          break;  // the rest of this band only refines
        }
      } else {
        reader.FillIfBelow(1);
        value = reader.Take(1) ? step.plusOne : step.minusOne;  // newly non-zero, magnitude 1
      }
      // Pass over `run` zero coefficients, refining the non-zero ones met on the way.
      for (; k <= scan.spectralEnd; ++k) {
        std::int16_t& coefficient = block[kZigzagToNaturalPadded[k]];
        if (coefficient != 0) {
          RefineCoefficient(reader, coefficient, step);
        } else if (run == 0) {
          if (value != 0) coefficient = static_cast<std::int16_t>(value);
          ++k;
          break;
        } else {
          --run;
        }
      }
    }
  }
  if (eobRun > 0) {
    for (; k <= scan.spectralEnd; ++k) {
      std::int16_t& coefficient = block[kZigzagToNaturalPadded[k]];
      if (coefficient != 0) RefineCoefficient(reader, coefficient, step);
    }
    --eobRun;
  }
}

}  // namespace

std::int16_t* JpegDecoder::CoefficientsOf(Component& component, int blockX, int blockY) {
  if (!component.needed) return m_scratchBlock.data();
  const std::size_t index = static_cast<std::size_t>(blockY) * component.paddedBlocksPerLine + blockX;
  return component.coefficients.data() + index * 64;
}

void JpegDecoder::DecodeProgressiveScan(const Scan& scan, BitReader& reader) {
  const bool dcScan = scan.spectralStart == 0, first = scan.approximationHigh == 0;
  for (int i = 0; i < scan.componentCount; ++i) {
    const Component& component = m_frame.components[scan.components[i]];
    const bool needsTable = dcScan ? first : true;
    const HuffmanTable& table = dcScan ? m_dcTables[component.dcTable] : m_acTables[component.acTable];
    if (needsTable && !table.defined) Fail(kNoHuffmanTable);
  }
  const int shift = scan.approximationLow;
  ForEachBlock(scan, reader, [&](Component& component, int blockX, int blockY) {
    std::int16_t* block = CoefficientsOf(component, blockX, blockY);
    if (dcScan && first) DecodeDcFirst(reader, m_dcTables[component.dcTable], shift, component.dcPredictor, block);
    else if (dcScan) DecodeDcRefine(reader, shift, block);
    else if (first) DecodeAcFirst(reader, m_acTables[component.acTable], scan, m_eobRun, block);
    else DecodeAcRefine(reader, m_acTables[component.acTable], scan, m_eobRun, block);
  });
}

// After the last scan (or the damage that ended them): every block as far as its coefficients
// arrived is dequantized and transformed.
void JpegDecoder::TransformProgressiveBlocks() {
  for (Component& component : m_frame.components) {
    if (!component.needed) continue;
    const QuantTable& quant = m_quant[component.quantIndex];
    if (!quant.defined) Fail(kNoQuantizationTable);
    std::array<std::uint16_t, 64> natural;
    for (int k = 0; k < 64; ++k) natural[kZigzagToNatural[k]] = quant.zigzag[k];
    std::int16_t* block = m_block.data();
    for (int blockY = 0; blockY < component.blocksPerColumn; ++blockY) {
      for (int blockX = 0; blockX < component.blocksPerLine; ++blockX) {
        const std::int16_t* coefficients = CoefficientsOf(component, blockX, blockY);
        int acBits = 0;
        for (int i = 0; i < 64; ++i) {
          block[i] = static_cast<std::int16_t>(coefficients[i] * natural[i]);
          acBits |= i > 0 ? block[i] : 0;
        }
        StoreBlock(component, blockX, blockY, block, acBits == 0);
      }
      component.decodedBlockRows = blockY + 1;
    }
  }
  std::memset(m_block.data(), 0, sizeof m_block);
}

}  // namespace orvel::jpeg
