#include "jpeg/JpegEncoderMarkers.h"

namespace orvel::jpeg {
namespace {

void PutMarker(Stream& stream, std::uint8_t code) {
  stream.push_back(0xFF);
  stream.push_back(code);
}

void PutWord(Stream& stream, int value) {
  stream.push_back(static_cast<std::uint8_t>(value >> 8));
  stream.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

void EmitSoi(Stream& stream) { PutMarker(stream, 0xD8); }

void EmitApp0Jfif(Stream& stream) {
  PutMarker(stream, 0xE0);
  PutWord(stream, 16);
  for (char c : std::string_view("JFIF", 5)) stream.push_back(static_cast<std::uint8_t>(c));
  stream.push_back(1);  // major version
  stream.push_back(1);  // minor version
  stream.push_back(0);  // density units: none, the densities give the aspect ratio
  PutWord(stream, 1);   // horizontal density
  PutWord(stream, 1);   // vertical density
  stream.push_back(0);  // thumbnail width
  stream.push_back(0);  // thumbnail height
}

void EmitComment(Stream& stream, std::string_view text) {
  PutMarker(stream, 0xFE);
  PutWord(stream, static_cast<int>(2 + text.size() + 1));
  stream.insert(stream.end(), text.begin(), text.end());
  stream.push_back(0);
}

void EmitDqt(Stream& stream, int slot, const Block64& tableZigzag) {
  PutMarker(stream, 0xDB);
  PutWord(stream, 2 + 1 + 64);
  stream.push_back(static_cast<std::uint8_t>(slot));  // Pq = 0 (8-bit entries), Tq = slot
  stream.insert(stream.end(), tableZigzag.begin(), tableZigzag.end());
}

void EmitDht(Stream& stream, int tableClass, int slot, const HuffmanTableSource& huffman) {
  PutMarker(stream, 0xC4);
  PutWord(stream, 2 + 1 + 16 + huffman.valueCount);
  stream.push_back(static_cast<std::uint8_t>(tableClass << 4 | slot));
  stream.insert(stream.end(), huffman.bits.begin(), huffman.bits.end());
  stream.insert(stream.end(), huffman.values.begin(), huffman.values.begin() + huffman.valueCount);
}

void EmitSof0(Stream& stream, int width, int height, std::span<const FrameComponent> components) {
  PutMarker(stream, 0xC0);
  PutWord(stream, static_cast<int>(8 + 3 * components.size()));
  stream.push_back(8);  // sample precision in bits
  PutWord(stream, height);
  PutWord(stream, width);
  stream.push_back(static_cast<std::uint8_t>(components.size()));
  for (const FrameComponent& component : components) {
    stream.push_back(component.id);
    stream.push_back(0x11);  // horizontal and vertical sampling factor 1
    stream.push_back(component.quantTable);
  }
}

void EmitSos(Stream& stream, std::span<const FrameComponent> components) {
  PutMarker(stream, 0xDA);
  PutWord(stream, static_cast<int>(6 + 2 * components.size()));
  stream.push_back(static_cast<std::uint8_t>(components.size()));
  for (const FrameComponent& component : components) {
    stream.push_back(component.id);
    stream.push_back(static_cast<std::uint8_t>(component.dcTable << 4 | component.acTable));
  }
  stream.push_back(0);   // Ss: first coefficient
  stream.push_back(63);  // Se: last coefficient
  stream.push_back(0);   // Ah, Al: no successive approximation
}

void EmitEoi(Stream& stream) { PutMarker(stream, 0xD9); }

}  // namespace orvel::jpeg
