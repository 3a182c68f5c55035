#include "cli/SliceReading.h"

#include "cli/AnalyzeSections.h"

namespace orvel::cli {

void FailUnlessLoaded(LoadStatus status, const std::string& path) {
  switch (status) {
    case LoadStatus::kLoaded: return;
    case LoadStatus::kCannotOpen: throw SectionFailure{"cannot open " + path};
    default: throw SectionFailure{"cannot read slice " + path};
  }
}

void ReadSliceOrFail(const std::string& path, SliceImage& image, DatasetWindow* window) {
  FailUnlessLoaded(LoadImageFile(path, image, window), path);
}

}  // namespace orvel::cli
