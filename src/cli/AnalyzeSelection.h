#pragma once
// What the line, area, model and cut sections share: the request the command line makes of the
// core, and the check that a slice can be measured at all.
#include "analysis/AnalysisRequest.h"
#include "cli/AnalyzeSections.h"
#include "image/SliceImage.h"

namespace orvel::cli {

// The tool and its points, --palette, --levels (or the first slice's), --invert, --range and the
// dataset's slice spacing.
analysis::AnalysisRequest AnalysisRequestOf(const AnalyzeContext& context);

// Grey values are colour-table indices of an 8-bit slice with a 256-entry table; on other slices
// the viewer offers no selection tools. Throws SectionFailure for such a slice.
void RequireMeasurableSlice(const SliceImage& slice);

}  // namespace orvel::cli
