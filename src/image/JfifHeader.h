#pragma once
// The first 20 bytes of a JFIF file: start of image, the APP0 marker and length, "JFIF\0",
// version, density units, horizontal and vertical density (big-endian) and the thumbnail size.
// The codec writes this header without the image's resolution, so the slice image reads the
// density from it after decoding and patches it in after encoding.
#include <array>
#include <cstdint>
#include <string>

namespace orvel {

class JfifHeader {
 public:
  static constexpr int kSize = 20;
  // Returned by ReadFrom when 20 bytes were read but they are not a JFIF header.
  static constexpr int kNotJfif = 11;

  // 0 when the file's first 20 bytes form a JFIF header, kNotJfif when they do not (a file of
  // fewer than 20 bytes included), otherwise the system error (errno) of opening or reading.
  int ReadFrom(const std::string& path);
  // Writes the 20 bytes over the start of the existing file without truncating it; 0 or errno.
  int WriteTo(const std::string& path) const;

  // Dots per inch: the density for units 1, density * 2.54 truncated for units 2 (dots per
  // centimetre), 704 for any other units value.
  int GetXDpi() const { return DpiOf(kXDensity); }
  int GetYDpi() const { return DpiOf(kYDensity); }
  // Units := 1 (dots per inch), density := value, limited to the 16 bits of the field.
  void SetXDpi(int value) { SetDpi(kXDensity, value); }
  void SetYDpi(int value) { SetDpi(kYDensity, value); }

  const std::array<std::uint8_t, kSize>& Bytes() const { return m_bytes; }

 private:
  static constexpr int kUnits = 13, kXDensity = 14, kYDensity = 16;
  int DpiOf(int offset) const;
  void SetDpi(int offset, int value);

  std::array<std::uint8_t, kSize> m_bytes{};
};

}  // namespace orvel
