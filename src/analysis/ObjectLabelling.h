#pragma once
// Labelling of the 4-connected objects of a binary mask by runs: every row is cut into runs of
// selected cells, runs of neighbouring rows that share a column are joined with union-find, and
// what is collected per object is up to the caller (the pattern of OpenCV's connectedcomponents,
// where the labeller is generic over its statistics).
#include <cstdint>
#include <vector>

namespace orvel::analysis {

// Cells begin .. end - 1 of one mask row, all selected.
struct MaskRun {
  int row;
  int begin;
  int end;
};

struct RunLabelling {
  std::vector<MaskRun> runs;           // row by row, left to right within a row
  std::vector<std::int32_t> objectOf;  // object of each run: 0 .. objectCount - 1
  std::int32_t objectCount = 0;
};

// Labels a width x height mask of cells (row-major; any non-zero cell is selected). Objects are
// numbered in the order of their first run.
RunLabelling LabelRuns(const std::uint8_t* cells, int width, int height);

// Feeds every run to the collector with its object: collector.Begin(objectCount), then
// collector.AddRun(object, run) for each run in mask order.
template <typename Collector>
void CollectObjects(const RunLabelling& labelling, Collector& collector) {
  collector.Begin(labelling.objectCount);
  for (std::size_t i = 0; i < labelling.runs.size(); ++i) collector.AddRun(labelling.objectOf[i], labelling.runs[i]);
}

// The number of cells of every object.
struct ObjectAreaCollector {
  std::vector<std::int64_t> areas;

  void Begin(std::int32_t objectCount) { areas.assign(static_cast<std::size_t>(objectCount), 0); }
  void AddRun(std::int32_t object, const MaskRun& run) { areas[object] += run.end - run.begin; }
};

}  // namespace orvel::analysis
