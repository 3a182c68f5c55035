#include "cli/OutputPath.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/ImageLoader.h"
#include "cli/AnalyzeSections.h"
#include "image/BmpFile.h"
#include "platform/FileSystem.h"

namespace orvel::cli {

namespace {

bool WriteImage(const SliceImage& image, const std::string& path, OutputFormat format, int quality) {
  return format == OutputFormat::kBmp ? SaveBmpFile(image, path) : image.WriteJpeg(path, quality);
}

}  // namespace

OutputFormat OutputFormatOf(const std::string& path) {
  switch (ImageTypeFromExtension(path)) {
    case kBmpImage: return OutputFormat::kBmp;
    case kJpegImage: return OutputFormat::kJpeg;
    default: return OutputFormat::kUnknown;
  }
}

StagedOutputs::~StagedOutputs() {
  for (const Staged& staged : m_staged) std::remove(staged.file.c_str());
}

void StagedOutputs::Stage(const SliceImage& image, const std::string& path, int quality) {
  const OutputFormat format = OutputFormatOf(path);
  if (format == OutputFormat::kUnknown)
    throw SectionFailure{"cannot write " + path + ": the name must end in .bmp or .jpg"};
  // Beside the file a symbolic link at path points to, so that the final rename keeps the link.
  const std::string target = platform::FollowLinks(path);
  std::error_code error;
  if (std::filesystem::is_directory(target, error)) throw SectionFailure{"cannot write " + path + ": it is a folder"};
  if (!platform::IsReplaceable(target))
    throw SectionFailure{"cannot write " + path + ": it is not a regular file that may be written"};
  // The process number keeps two runs writing beside the same target apart.
  const std::string file = target + ".staged-" + std::to_string(getpid()) + "-" + std::to_string(m_staged.size());
  m_staged.push_back({file, path});
  if (!WriteImage(image, file, format, quality)) throw SectionFailure{"cannot write " + path};
}

void StagedOutputs::Commit() {
  while (!m_staged.empty()) {
    const Staged& staged = m_staged.front();
    if (!platform::MoveOnto(staged.file, staged.target)) throw SectionFailure{"cannot write " + staged.target};
    m_staged.erase(m_staged.begin());
  }
}

}  // namespace orvel::cli
