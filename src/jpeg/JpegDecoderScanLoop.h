#pragma once
// The block order of a scan, shared by the sequential and the progressive decoder: a scan of one
// component runs over that component's blocks row by row, an interleaved scan over MCUs; restart
// markers come every m_restartInterval of these units.
#include "jpeg/JpegDecoder.h"

namespace orvel::jpeg {

template <typename BlockDecoder>
void JpegDecoder::ForEachBlock(const Scan& scan, BitReader& reader, BlockDecoder&& decodeBlock) {
  long long unitsLeft = m_restartInterval;  // units until the next restart marker
  auto beginUnit = [&] {
    if (m_restartInterval == 0) return;
    if (unitsLeft == 0) {
      ProcessRestart(scan, reader);
      unitsLeft = m_restartInterval;
    }
    --unitsLeft;
  };
  auto checkOverrun = [&] {
    if (reader.Overran()) Fail(reader.Position() >= m_stream.data() + m_stream.size() ? kErrorEof : kDataError);
  };
  if (scan.componentCount == 1) {
    Component& component = m_frame.components[scan.components[0]];
    for (int blockY = 0; blockY < component.blocksPerColumn; ++blockY) {
      for (int blockX = 0; blockX < component.blocksPerLine; ++blockX) {
        beginUnit();
        decodeBlock(component, blockX, blockY);
        checkOverrun();
      }
      component.decodedBlockRows = blockY + 1;
    }
    return;
  }
  for (int mcuY = 0; mcuY < m_frame.mcusPerColumn; ++mcuY) {
    for (int mcuX = 0; mcuX < m_frame.mcusPerLine; ++mcuX) {
      beginUnit();
      for (int i = 0; i < scan.componentCount; ++i) {
        Component& component = m_frame.components[scan.components[i]];
        for (int y = 0; y < component.v; ++y)
          for (int x = 0; x < component.h; ++x) decodeBlock(component, mcuX * component.h + x, mcuY * component.v + y);
      }
      checkOverrun();
    }
    for (int i = 0; i < scan.componentCount; ++i) {
      Component& component = m_frame.components[scan.components[i]];
      component.decodedBlockRows = (mcuY + 1) * component.v;
    }
  }
}

}  // namespace orvel::jpeg
