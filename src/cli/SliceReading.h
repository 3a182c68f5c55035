#pragma once
// Slices read for a section: a slice that cannot be opened or read ends the run, naming its path.
// Runs over a range decode as many slices at once as --threads says.
#include <string>

#include "app/ImageLoader.h"
#include "cli/AnalyzeOptions.h"
#include "image/SliceImage.h"

namespace orvel::cli {

// Throws SectionFailure naming path unless status is kLoaded (the reader has shown its own
// message).
void FailUnlessLoaded(LoadStatus status, const std::string& path);

// Reads path into image on the calling thread, deep samples through window; fails as
// FailUnlessLoaded does.
void ReadSliceOrFail(const std::string& path, SliceImage& image, DatasetWindow* window);

// The slices a run decodes at once: --threads, or else one per processor the process may use.
int DecodeThreads(const AnalyzeOptions& options);

}  // namespace orvel::cli
