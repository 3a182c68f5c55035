#pragma once
// The marker segments an encoded stream is made of, one Emit function per marker, each appending
// the complete segment (marker, big-endian length, fields) to the stream (T.81 B.2, JFIF 1.02).
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "jpeg/JpegTables.h"

namespace orvel::jpeg {

using Stream = std::vector<std::uint8_t>;

// One component of the frame and scan; every component is sampled 1x1 (full resolution).
struct FrameComponent {
  std::uint8_t id;          // component identifier in SOF0 and SOS
  std::uint8_t quantTable;  // DQT table slot
  std::uint8_t dcTable;     // DHT slot of class 0
  std::uint8_t acTable;     // DHT slot of class 1
};

void EmitSoi(Stream& stream);
// JFIF 1.01, no density unit, aspect 1:1, no thumbnail: 20 bytes with the SOI before it.
void EmitApp0Jfif(Stream& stream);
// The text followed by one zero byte.
void EmitComment(Stream& stream, std::string_view text);
// One 8-bit table (Pq = 0) in zig-zag order into slot `slot`.
void EmitDqt(Stream& stream, int slot, const Block64& tableZigzag);
// One table of class 0 (DC) or 1 (AC) into slot `slot`.
void EmitDht(Stream& stream, int tableClass, int slot, const HuffmanTableSource& huffman);
// Baseline frame header with 8-bit precision.
void EmitSof0(Stream& stream, int width, int height, std::span<const FrameComponent> components);
// Scan header of a sequential scan over all coefficients (Ss 0, Se 63, Ah Al 0).
void EmitSos(Stream& stream, std::span<const FrameComponent> components);
void EmitEoi(Stream& stream);

}  // namespace orvel::jpeg
