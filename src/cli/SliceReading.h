#pragma once
// Slices read for a section: a slice that cannot be opened or read ends the run, naming its path.
#include <string>

#include "app/ImageLoader.h"
#include "image/SliceImage.h"

namespace orvel::cli {

// Throws SectionFailure naming path unless status is kLoaded (the reader has shown its own
// message).
void FailUnlessLoaded(LoadStatus status, const std::string& path);

// Reads path into image on the calling thread, deep samples through window; fails as
// FailUnlessLoaded does.
void ReadSliceOrFail(const std::string& path, SliceImage& image, DatasetWindow* window);

}  // namespace orvel::cli
