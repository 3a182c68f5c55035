#pragma once
// Helpers of the encoder tests: test pictures, packing them into stored rows the way the encoder
// reads them, the marker segments of an encoded stream, and decoding through djpeg (the
// libjpeg-turbo tool, used here as an independent oracle only).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "jpeg/JpegEncoder.h"
#include "support/TestSupport.h"

namespace orvel::test {

// A picture in top-down rows of width * channels bytes; colour pixels are B, G, R.
struct Picture {
  int width = 0, height = 0, channels = 1;
  std::vector<std::uint8_t> samples;
  std::uint8_t& At(int x, int y, int channel) {
    return samples[(static_cast<std::size_t>(y) * width + x) * channels + channel];
  }
};

// Smooth content: a diagonal ramp with a slow wave, different per channel.
inline Picture MakeSmoothPicture(int width, int height, int channels) {
  Picture picture{width, height, channels,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * channels)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c) {
        const double value =
            40 + 120.0 * (x + 2 * y + 1) / (width + 2 * height + 1) + 30 * std::sin(0.05 * x + 0.03 * y + c);
        picture.At(x, y, c) = static_cast<std::uint8_t>(value);
      }
  return picture;
}

// Uniform noise over 0..255 from a fixed seed: every coefficient busy, many 0xFF bytes.
inline Picture MakeNoisePicture(int width, int height, int channels, std::uint32_t seed) {
  Picture picture{width, height, channels,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * channels)};
  for (std::uint8_t& sample : picture.samples) {
    seed = seed * 1664525u + 1013904223u;
    sample = static_cast<std::uint8_t>(seed >> 24);
  }
  return picture;
}

// The picture as stored rows with `padding` extra bytes per row (set to `padValue`), in the
// given row order; `input` points into `bytes`.
struct StoredPicture {
  std::vector<std::uint8_t> bytes;
  jpeg::EncoderInput input{};
};

inline StoredPicture StorePicture(const Picture& picture, bool bottomUp, int padding, int quality,
                                  std::uint8_t padValue = 0xFF) {
  StoredPicture stored;
  const int rowBytes = picture.width * picture.channels;
  const int stride = rowBytes + padding;
  stored.bytes.assign(static_cast<std::size_t>(stride) * picture.height, padValue);
  for (int y = 0; y < picture.height; ++y) {
    const int storedRow = bottomUp ? picture.height - 1 - y : y;
    std::copy_n(picture.samples.begin() + static_cast<std::ptrdiff_t>(y) * rowBytes, rowBytes,
                stored.bytes.begin() + static_cast<std::ptrdiff_t>(storedRow) * stride);
  }
  stored.input = {stored.bytes.data(), picture.width, picture.height, stride, bottomUp, picture.channels, quality};
  return stored;
}

// One marker segment before the scan: marker code and the bytes after the length field.
struct Segment {
  std::uint8_t marker = 0;
  int length = 0;  // the length field
  std::vector<std::uint8_t> payload;
};

// The segments from SOI up to and including SOS (SOI without payload); stops at malformed data.
inline std::vector<Segment> ParseHeaderSegments(const std::vector<std::uint8_t>& stream) {
  std::vector<Segment> segments;
  if (stream.size() < 2 || stream[0] != 0xFF || stream[1] != 0xD8) return segments;
  segments.push_back({0xD8, 0, {}});
  std::size_t at = 2;
  while (at + 4 <= stream.size() && stream[at] == 0xFF) {
    Segment segment;
    segment.marker = stream[at + 1];
    segment.length = stream[at + 2] << 8 | stream[at + 3];
    if (segment.length < 2 || at + 2 + segment.length > stream.size()) break;
    segment.payload.assign(stream.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           stream.begin() + static_cast<std::ptrdiff_t>(at + 2 + segment.length));
    segments.push_back(segment);
    at += 2 + segment.length;
    if (segment.marker == 0xDA) break;
  }
  return segments;
}

// What djpeg made of a stream: top-down rows, colour as B, G, R like the encoder's input.
struct DecodedPicture {
  bool ok = false;
  std::string warnings;  // djpeg's standard error ("Corrupt JPEG data..." and the like)
  Picture picture;
};

// djpeg's decode of the stream; grey asks for the luma only (-grayscale).
inline DecodedPicture DecodeWithDjpeg(const std::vector<std::uint8_t>& stream, bool grey = false) {
  DecodedPicture decoded;
  TemporaryDirectory directory;
  const std::string jpegPath = directory.File("in.jpg"), pnmPath = directory.File("out.pnm");
  const std::string errorPath = directory.File("stderr.txt");
  WriteFile(jpegPath, stream);
  const std::string command = std::string("djpeg ") + (grey ? "-grayscale " : "") + "-pnm -outfile '" + pnmPath +
                              "' '" + jpegPath + "' 2>'" + errorPath + "'";
  const int status = std::system(command.c_str());
  const std::vector<unsigned char> errors = ReadFileBytes(errorPath);
  decoded.warnings.assign(errors.begin(), errors.end());
  if (status != 0) return decoded;

  std::ifstream pnm(pnmPath, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  Picture& picture = decoded.picture;
  pnm >> magic >> picture.width >> picture.height >> maxValue;
  pnm.get();  // the single whitespace byte before the samples
  picture.channels = magic == "P6" ? 3 : 1;
  picture.samples.resize(static_cast<std::size_t>(picture.width) * picture.height * picture.channels);
  pnm.read(reinterpret_cast<char*>(picture.samples.data()), static_cast<std::streamsize>(picture.samples.size()));
  if (!pnm || maxValue != 255 || (magic != "P5" && magic != "P6")) return decoded;
  if (picture.channels == 3)
    for (std::size_t i = 0; i < picture.samples.size(); i += 3) std::swap(picture.samples[i], picture.samples[i + 2]);
  decoded.ok = true;
  return decoded;
}

// Peak signal-to-noise ratio in dB over all samples; infinity for identical pictures.
inline double Psnr(const Picture& a, const Picture& b) {
  double squares = 0;
  for (std::size_t i = 0; i < a.samples.size(); ++i) {
    const double difference = double(a.samples[i]) - double(b.samples[i]);
    squares += difference * difference;
  }
  if (squares == 0) return INFINITY;
  return 10 * std::log10(255.0 * 255.0 * double(a.samples.size()) / squares);
}

inline int MaxDifference(const Picture& a, const Picture& b) {
  int largest = 0;
  for (std::size_t i = 0; i < a.samples.size(); ++i)
    largest = std::max(largest, std::abs(int(a.samples[i]) - int(b.samples[i])));
  return largest;
}

}  // namespace orvel::test
