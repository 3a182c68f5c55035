#pragma once
// Image outputs of the command-line tool: the format follows the extension, ASCII case ignored.
// Every output of a run is first written beside its target and moved onto it only once the whole
// run has succeeded, so a run that fails leaves each output as it was before.
#include <string>
#include <vector>

#include "image/SliceImage.h"

namespace orvel::cli {

enum class OutputFormat { kUnknown, kBmp, kJpeg };

OutputFormat OutputFormatOf(const std::string& path);

class StagedOutputs {
 public:
  StagedOutputs() = default;
  ~StagedOutputs();  // removes every staged file that was not moved onto its target
  StagedOutputs(const StagedOutputs&) = delete;
  StagedOutputs& operator=(const StagedOutputs&) = delete;

  // Writes image as BMP or JPEG (quality 0..100) to a file beside path; throws SectionFailure when
  // the format is unknown or the file could not be written. Nothing appears at path yet.
  void Stage(const SliceImage& image, const std::string& path, int quality);
  // Moves the staged files onto their targets, in the order staged; throws SectionFailure naming
  // the first target that could not be replaced.
  void Commit();

 private:
  struct Staged {
    std::string file, target;
  };
  std::vector<Staged> m_staged;
};

}  // namespace orvel::cli
