#include "cli/AnalyzeSelection.h"

#include "cli/AnalyzeSections.h"

namespace orvel::cli {

void RequireMeasurableSlice(const SliceImage& slice) {
  if (slice.GetBitCount() != 8 || slice.GetColourCount() != 256)
    throw SectionFailure{"the selection tools need slices of 8 bits with a 256-entry colour table"};
}

}  // namespace orvel::cli
