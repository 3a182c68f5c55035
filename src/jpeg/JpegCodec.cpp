#include "jpeg/JpegCodec.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "jpeg/JpegDecoder.h"
#include "jpeg/JpegEncoder.h"
#include "platform/File.h"

namespace orvel::jpeg {

struct JpegCodecState {
  CpuVariant variant = CpuVariant::kScalar;
  const DecoderRoutines* routines = nullptr;
  // The stream whose parameters were read last, kept for the image read that follows, and
  // what it was read from.
  std::unique_ptr<JpegDecoder> decoder;
  std::string source;
};

namespace {

void SetDefaults(JpegProperties& record) {
  JpegCodecState* internal = record.internal;
  record = JpegProperties{};
  record.internal = internal;
  record.bitmapChannels = 3;
  record.bitmapColour = 2;
  record.jpegChannels = 3;
  record.jpegColour = kColourYcbcr;
  record.jpegSubsampling = 1;
  record.colourConversionRequired = 1;
  record.upsamplingRequired = 1;
  record.quality = 75;
}

// The stream named by the record: the file's bytes or a copy of the buffer.
int LoadStream(const JpegProperties& record, bool fromFile, StreamBytes& stream) {
  if (!fromFile) {
    if (!record.jpegBuffer || record.jpegBufferSize <= 0) return kInvalidProperties;
    stream.assign(record.jpegBuffer, record.jpegBuffer + record.jpegBufferSize);
    return kSuccess;
  }
  if (!record.fileName || !*record.fileName) return kInvalidFileName;
  platform::InputFile file;
  if (!file.Open(record.fileName)) return kInvalidFileName;
  if (file.Size() > kMaxDecodeBytes) return kMemoryError;  // no slice needs more than the bound holds
  stream.resize(static_cast<std::size_t>(file.Size()));    // uninitialised: the read fills it
  stream.resize(file.Read(stream.data(), stream.size()));
  return kSuccess;
}

// Names the stream a record points at, so that an image read knows whether the parameters read
// before it were those of the same stream.
std::string SourceOf(const JpegProperties& record, bool fromFile) {
  if (fromFile) return "file:" + std::string(record.fileName ? record.fileName : "");
  return "buffer:" + std::to_string(reinterpret_cast<std::uintptr_t>(record.jpegBuffer)) + ":" +
         std::to_string(record.jpegBufferSize);
}

int ReadParameters(JpegProperties& record, bool fromFile) {
  JpegCodecState& state = *record.internal;
  state.decoder.reset();
  state.source = SourceOf(record, fromFile);
  StreamBytes stream;
  if (const int status = LoadStream(record, fromFile, stream); status != kSuccess) return status;
  auto decoder = std::make_unique<JpegDecoder>(std::move(stream), *state.routines);
  if (const int status = decoder->ReadHeader(); status != kSuccess) return status;
  const StreamInfo info = decoder->Info();
  record.jpegWidth = info.width;
  record.jpegHeight = info.height;
  record.jpegChannels = info.components;
  record.jpegColour = info.colour;
  record.jpegSubsampling = info.subsampling;
  state.decoder = std::move(decoder);
  return kSuccess;
}

int ReadImage(JpegProperties& record, bool fromFile) {
  JpegCodecState& state = *record.internal;
  if (!state.decoder || state.source != SourceOf(record, fromFile))
    if (const int status = ReadParameters(record, fromFile); status != kSuccess) return status;
  // One image read consumes the stream; a further read starts from the file again.
  const std::unique_ptr<JpegDecoder> decoder = std::move(state.decoder);
  const StreamInfo info = decoder->Info();
  if (info.components != 1 && info.components != 3) return kNotSupported;
  const bool grey = record.bitmapChannels == 1 && record.bitmapColour == kColourGrey;
  const bool colour = record.bitmapChannels == 3 && record.bitmapColour == kColourRgb;
  if (!grey && !colour)
    return record.bitmapChannels == 1 || record.bitmapChannels == 3 ? kNotSupported : kUnsupportedBytesPerPixel;
  BitmapTarget target;
  target.pixels = record.bitmapPixels;
  target.width = record.bitmapWidth;
  target.height = record.bitmapHeight < 0 ? -record.bitmapHeight : record.bitmapHeight;
  target.bottomUp = record.bitmapHeight < 0;
  target.channels = record.bitmapChannels;
  target.padBytes = record.bitmapPadBytes;
  return decoder->Decode(target);
}

// The encoder's view of the record's bitmap side; the stream side must match it.
int MakeEncoderInput(const JpegProperties& record, EncoderInput& input) {
  if (!record.bitmapPixels || record.bitmapWidth <= 0 || record.bitmapHeight == 0 || record.bitmapPadBytes < 0)
    return kInvalidProperties;
  if (record.bitmapChannels != 1 && record.bitmapChannels != 3) return kUnsupportedBytesPerPixel;
  const bool grey = record.bitmapChannels == 1 && record.bitmapColour == kColourGrey && record.jpegChannels == 1 &&
                    record.jpegColour == kColourGrey;
  const bool colour = record.bitmapChannels == 3 && record.bitmapColour == kColourRgb && record.jpegChannels == 3 &&
                      record.jpegColour == kColourYcbcr;
  if (!grey && !colour) return kNotSupported;
  if (record.jpegSubsampling != 0) return kUnsupportedSubsampling;
  const std::int64_t height = record.bitmapHeight < 0 ? -std::int64_t{record.bitmapHeight} : record.bitmapHeight;
  if (record.jpegWidth != record.bitmapWidth || record.jpegHeight != height || record.bitmapWidth > 65535 ||
      height > 65535)
    return kInvalidProperties;
  const std::int64_t stride = std::int64_t{record.bitmapWidth} * record.bitmapChannels + record.bitmapPadBytes;
  if (stride > 0x7FFFFFFF) return kInvalidProperties;
  // clang-format off
  input = EncoderInput{record.bitmapPixels, record.bitmapWidth, static_cast<int>(height), static_cast<int>(stride),
                       record.bitmapHeight < 0, record.bitmapChannels, record.quality};
  // clang-format on
  return kSuccess;
}

int WriteImageToFile(const JpegProperties& record) {
  if (!record.fileName || !*record.fileName) return kInvalidFileName;
  EncoderInput input{};
  if (const int status = MakeEncoderInput(record, input); status != kSuccess) return status;
  std::vector<std::uint8_t> stream;
  if (const int status = EncodeBaseline(input, stream, record.internal->variant); status != kSuccess) return status;
  platform::OutputFile file;
  if (!file.Create(record.fileName)) return kInvalidFileName;
  file.Write(stream.data(), stream.size());
  return file.Commit() ? kSuccess : kErrorCloseFile;
}

// Runs an operation with the codec's one error path: nothing escapes as an exception.
template <typename Operation>
int Guarded(Operation&& operation) {
  try {
    return operation();
  } catch (const DecodeError& error) {
    return error.status;
  } catch (const std::bad_alloc&) {
    return kMemoryError;
  } catch (const platform::FileError&) {
    return kFileError;
  } catch (const std::exception&) {
    return kExceptionDetected;
  }
}

}  // namespace

int JpegCodec::Init(JpegProperties& record) {
  Free(record);
  SetDefaults(record);
  record.internal = new (std::nothrow) JpegCodecState;
  if (!record.internal) return kMemoryError;
  record.internal->variant = SelectCpuVariant();
  record.internal->routines = &DecoderRoutinesFor(record.internal->variant);
  return kSuccess;
}

int JpegCodec::Free(JpegProperties& record) {
  delete record.internal;
  record.internal = nullptr;
  return kSuccess;
}

int JpegCodec::Read(JpegProperties& record, int mode) {
  if (!record.internal) return kInvalidProperties;
  return Guarded([&] {
    switch (mode) {
      case kReadFileParameters: return ReadParameters(record, true);
      case kReadBufferParameters: return ReadParameters(record, false);
      case kReadFileImage: return ReadImage(record, true);
      case kReadBufferImage: return ReadImage(record, false);
      default: return static_cast<int>(kNotSupported);
    }
  });
}

int JpegCodec::Write(JpegProperties& record, int mode) {
  if (!record.internal) return kInvalidProperties;
  if (mode != kWriteFileImage) return kNotSupported;
  return Guarded([&] { return WriteImageToFile(record); });
}

CpuVariant JpegCodec::VariantOf(const JpegProperties& record) {
  return record.internal ? record.internal->variant : CpuVariant::kScalar;
}

}  // namespace orvel::jpeg
