#pragma once
// Helpers of the decoder tests: streams made by the libjpeg-turbo tools (cjpeg) and by Pillow,
// which serve as independent test oracles only, and our decoder driven through the codec record.
// A missing oracle fails the test instead of skipping it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "JpegEncoderTestSupport.h"
#include "jpeg/JpegCodec.h"
#include "jpeg/JpegCpu.h"

namespace orvel::test {

inline constexpr const char* kCjpeg = "/usr/bin/cjpeg";
inline constexpr const char* kDjpeg = "/usr/bin/djpeg";
inline constexpr const char* kPython = "/usr/bin/python3";

inline void ExpectOracle(const char* tool) {
  ASSERT_EQ(access(tool, X_OK), 0) << tool << " is missing: install libjpeg-turbo-progs and python3-pil";
}

// A slice such as a micro-CT scanner makes: dark background with noise, a bright disc of material
// with pores and a denser inclusion, and a soft edge. Colour pictures tint it per channel.
inline Picture MakeCtPicture(int width, int height, int channels, std::uint32_t seed = 1) {
  Picture picture{width, height, channels, std::vector<std::uint8_t>(std::size_t(width) * height * channels)};
  const double cx = width / 2.0, cy = height / 2.0, radius = 0.42 * std::min(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = ((seed >> 24) & 15) - 7.5;
      const double r = std::hypot(x - cx, y - cy);
      double value = 20 + noise;
      if (r < radius) {
        value = 150 + 25 * std::sin(x * 0.21) * std::cos(y * 0.17) + 2 * noise;
        if (std::fmod(x * 0.37 + y * 0.23, 11.0) < 1.5) value = 60 + noise;  // pores
        if (std::hypot(x - cx * 0.8, y - cy * 1.1) < radius * 0.15) value = 235;
      }
      for (int c = 0; c < channels; ++c)
        picture.At(x, y, c) =
            static_cast<std::uint8_t>(std::clamp(value - 25.0 * c + 10 * c * std::sin(y * 0.05), 0.0, 255.0));
    }
  return picture;
}

// Writes the picture as PGM or PPM (red, green, blue order).
inline void WritePnm(const std::string& path, const Picture& picture) {
  std::ofstream out(path, std::ios::binary);
  out << (picture.channels == 3 ? "P6\n" : "P5\n") << picture.width << " " << picture.height << "\n255\n";
  std::vector<std::uint8_t> samples = picture.samples;
  if (picture.channels == 3)
    for (std::size_t i = 0; i < samples.size(); i += 3) std::swap(samples[i], samples[i + 2]);
  out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
}

// cjpeg with the given options (such as "-quality 90 -progressive -sample 2x2").
inline std::vector<std::uint8_t> EncodeWithCjpeg(const Picture& picture, const std::string& options) {
  TemporaryDirectory directory;
  WritePnm(directory.File("in.pnm"), picture);
  const std::string command = std::string(kCjpeg) + " " + options + " -outfile '" + directory.File("out.jpg") + "' '" +
                              directory.File("in.pnm") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadFileBytes(directory.File("out.jpg"));
}

// Pillow's JPEG writer; subsampling 0 = 4:4:4, 1 = 4:2:2, 2 = 4:2:0. mode "CMYK" makes a
// four-component stream from a colour picture.
inline std::vector<std::uint8_t> EncodeWithPillow(const Picture& picture, int quality, bool progressive,
                                                  int subsampling, const std::string& mode = "") {
  TemporaryDirectory directory;
  WritePnm(directory.File("in.pnm"), picture);
  const std::string convert = mode.empty() ? "" : ".convert('" + mode + "')";
  const std::string script = "from PIL import Image; Image.open('" + directory.File("in.pnm") + "')" + convert +
                             ".save('" + directory.File("out.jpg") + "', quality=" + std::to_string(quality) +
                             ", progressive=" + (progressive ? "True" : "False") +
                             ", subsampling=" + std::to_string(subsampling) + ")";
  const std::string command = std::string(kPython) + " -c \"" + script + "\"";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return ReadFileBytes(directory.File("out.jpg"));
}

// Offset of the 0xFF of the first marker segment with this code before the scan data (the SOS
// segment included), or npos.
inline std::size_t SegmentOffset(const std::vector<std::uint8_t>& stream, std::uint8_t marker) {
  std::size_t at = 2;
  while (at + 4 <= stream.size() && stream[at] == 0xFF) {
    if (stream[at + 1] == marker) return at;
    if (stream[at + 1] == 0xDA) break;
    at += 2 + (stream[at + 2] << 8 | stream[at + 3]);
  }
  return std::string::npos;
}

// The stream without its first segment of this marker code.
inline std::vector<std::uint8_t> WithoutSegment(std::vector<std::uint8_t> stream, std::uint8_t marker) {
  const std::size_t at = SegmentOffset(stream, marker);
  if (at == std::string::npos) return stream;
  const std::size_t length = 2 + (stream[at + 2] << 8 | stream[at + 3]);
  stream.erase(stream.begin() + std::ptrdiff_t(at), stream.begin() + std::ptrdiff_t(at + length));
  return stream;
}

// The stream with the frame header (SOF0, SOF1 or SOF2) given another marker code and size.
inline std::vector<std::uint8_t> WithFrame(std::vector<std::uint8_t> stream, std::uint8_t marker, int width = -1,
                                           int height = -1) {
  std::size_t at = std::string::npos;
  for (std::uint8_t frame : {0xC0, 0xC1, 0xC2})
    if (at == std::string::npos) at = SegmentOffset(stream, frame);
  if (at == std::string::npos) return stream;
  stream[at + 1] = marker;
  if (height >= 0) {
    stream[at + 5] = std::uint8_t(height >> 8);
    stream[at + 6] = std::uint8_t(height);
  }
  if (width >= 0) {
    stream[at + 7] = std::uint8_t(width >> 8);
    stream[at + 8] = std::uint8_t(width);
  }
  return stream;
}

// Our decode of an in-memory stream through the codec record.
struct CodecDecode {
  int parameterStatus = 0, imageStatus = 0;
  jpeg::JpegProperties record{};     // the fields after the image read (internal state released)
  Picture picture;                   // top-down, without padding
  std::vector<std::uint8_t> bitmap;  // as the codec left it, padding included
};

inline CodecDecode DecodeWithCodec(const std::vector<std::uint8_t>& stream, int channels, bool bottomUp = true,
                                   int padBytes = 0, std::uint8_t fill = 0) {
  CodecDecode result;
  jpeg::JpegProperties record{};
  jpeg::JpegCodec::Init(record);
  record.jpegBuffer = stream.data();
  record.jpegBufferSize = static_cast<std::int32_t>(stream.size());
  result.parameterStatus = jpeg::JpegCodec::Read(record, jpeg::kReadBufferParameters);
  if (result.parameterStatus == 0) {
    const int width = record.jpegWidth, height = record.jpegHeight;
    const int stride = width * channels + padBytes;
    result.bitmap.assign(std::size_t(stride) * height, fill);
    record.bitmapPixels = result.bitmap.data();
    record.bitmapWidth = width;
    record.bitmapHeight = bottomUp ? -height : height;
    record.bitmapPadBytes = padBytes;
    record.bitmapChannels = channels;
    record.bitmapColour = channels == 1 ? 4 : 1;
    result.imageStatus = jpeg::JpegCodec::Read(record, jpeg::kReadBufferImage);
    result.picture =
        Picture{width, height, channels, std::vector<std::uint8_t>(std::size_t(width) * height * channels)};
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = result.bitmap.data() + std::size_t(bottomUp ? height - 1 - y : y) * stride;
      std::copy_n(row, width * channels, result.picture.samples.begin() + std::ptrdiff_t(y) * width * channels);
    }
  }
  jpeg::JpegCodec::Free(record);
  result.record = record;
  return result;
}

inline std::string UseCpuIni(int value) { return "[JpegCodec]\nUSECPU=" + std::to_string(value) + "\n"; }

// Points the codec's machine-wide file at a temporary one holding USECPU (or no such key) while
// it lives.
class ScopedSystemIni {
 public:
  explicit ScopedSystemIni(const std::string& contents) {
    WriteFile(m_directory.File("orvel-system.ini"), contents);
    jpeg::SetSystemIniPath(m_directory.File("orvel-system.ini"));
  }
  ~ScopedSystemIni() { jpeg::SetSystemIniPath(""); }
  ScopedSystemIni(const ScopedSystemIni&) = delete;
  ScopedSystemIni& operator=(const ScopedSystemIni&) = delete;

 private:
  TemporaryDirectory m_directory;
};

}  // namespace orvel::test
