#pragma once
// The two graphs of the graph frame, rendered as pictures of the frame's client size: red
// (255, 0, 0) lines one pixel wide on white.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <vector>

#include "analysis/AreaAnalysis.h"

namespace orvel::viewer {

// The line profile: profile holds the grey values at the size.width() + 1 positions along the
// line; position a + 1 is drawn at column a, joined to the one before, the left end at column 0.
// Grey value 255 lies on the top row, 0 near the bottom.
QImage LineProfileGraph(const std::vector<std::uint8_t>& profile, QSize size);

// The size distribution: the bars of classes 0 .. 11 filled from the bottom edge, scaled so that
// the largest of all counters fills the height.
QImage SizeDistributionGraph(const analysis::SizeClassCounts& counts, QSize size);

}  // namespace orvel::viewer
