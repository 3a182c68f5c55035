#pragma once
// Building small 8-bit slices for the tests, addressed in image coordinates (y downwards from the
// top edge; the slice stores its rows bottom-up).
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "image/SliceImage.h"

namespace orvel::test {

inline SliceImage MakeSlice(int width, int height, std::uint8_t fill = 0) {
  SliceImage slice;
  slice.Create(width, height, 8, false);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) slice.SetPixel(x, y, fill);
  return slice;
}

inline void SetImagePixel(SliceImage& slice, int x, int y, std::uint8_t value) {
  slice.SetPixel(x, slice.GetHeight() - 1 - y, value);
}

// Image pixel (x, y) holds value(x, y) (taken modulo 256).
inline SliceImage MakeSlice(int width, int height, const std::function<int(int x, int y)>& value) {
  SliceImage slice = MakeSlice(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetImagePixel(slice, x, y, static_cast<std::uint8_t>(value(x, y) & 0xFF));
  return slice;
}

// The grey ramp as the slice's colour table and as the colours its file holds: entry i is grey i.
inline void SetGreyTable(SliceImage& slice) {
  std::uint8_t* table = slice.GetColourTable();
  for (int i = 0; i < 256; ++i) table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<std::uint8_t>(i);
  slice.SetOriginalColours(std::vector<std::uint8_t>(table, table + 1024));
}

inline std::uint8_t ImagePixel(const SliceImage& slice, int x, int y) {
  return slice.GetPixel(x, slice.GetHeight() - 1 - y);
}

inline SliceImage RandomSlice(int width, int height, std::uint32_t seed) {
  SliceImage slice = MakeSlice(width, height);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetImagePixel(slice, x, y, static_cast<std::uint8_t>(random() & 0xFF));
  return slice;
}

// The slice mirrored left to right.
inline SliceImage MirroredSlice(const SliceImage& slice) {
  const int width = slice.GetWidth(), height = slice.GetHeight();
  SliceImage mirrored = MakeSlice(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetImagePixel(mirrored, width - 1 - x, y, ImagePixel(slice, x, y));
  return mirrored;
}

}  // namespace orvel::test
