#include "analysis/ObjectLabelling.h"

#include <utility>

namespace orvel::analysis {
namespace {

// Union-find over run indices. A root is always the smallest index of its set, so every parent
// index is below its child's and one forward pass can number the sets.
class RunSets {
 public:
  std::int32_t Add() {
    const auto index = static_cast<std::int32_t>(m_parent.size());
    m_parent.push_back(index);
    return index;
  }

  std::int32_t Find(std::int32_t i) {
    while (m_parent[i] != i) {
      m_parent[i] = m_parent[m_parent[i]];  // path halving
      i = m_parent[i];
    }
    return i;
  }

  void Unite(std::int32_t a, std::int32_t b) {
    a = Find(a);
    b = Find(b);
    if (a < b) m_parent[b] = a;
    else if (b < a) m_parent[a] = b;
  }

  // Replaces the parents by set numbers 0 .. count - 1 in order of each set's first index.
  std::int32_t NumberSets(std::vector<std::int32_t>& numbers) {
    std::int32_t count = 0;
    for (std::size_t i = 0; i < m_parent.size(); ++i)
      m_parent[i] = m_parent[i] == static_cast<std::int32_t>(i) ? count++ : m_parent[m_parent[i]];
    numbers = std::move(m_parent);
    return count;
  }

 private:
  std::vector<std::int32_t> m_parent;
};

// Appends the runs of one mask row.
void AppendRowRuns(const std::uint8_t* row, int width, int rowIndex, std::vector<MaskRun>& runs) {
  int x = 0;
  while (x < width) {
    while (x < width && row[x] == 0) ++x;
    if (x == width) break;
    const int begin = x;
    while (x < width && row[x] != 0) ++x;
    runs.push_back({rowIndex, begin, x});
  }
}

// Joins every run of the current row with the runs of the previous row that share a column
// (4-connectivity: a corner contact does not join).
void JoinRows(const std::vector<MaskRun>& runs, std::size_t previousBegin, std::size_t currentBegin, RunSets& sets) {
  std::size_t p = previousBegin;
  for (std::size_t c = currentBegin; c < runs.size(); ++c) {
    const MaskRun& current = runs[c];
    while (p < currentBegin && runs[p].end <= current.begin) ++p;
    for (std::size_t q = p; q < currentBegin && runs[q].begin < current.end; ++q)
      sets.Unite(static_cast<std::int32_t>(q), static_cast<std::int32_t>(c));
  }
}

}  // namespace

RunLabelling LabelRuns(const std::uint8_t* cells, int width, int height) {
  RunLabelling labelling;
  RunSets sets;
  std::size_t previousBegin = 0;
  for (int r = 0; r < height; ++r) {
    const std::size_t currentBegin = labelling.runs.size();
    AppendRowRuns(cells + static_cast<std::size_t>(r) * static_cast<std::size_t>(width), width, r, labelling.runs);
    for (std::size_t i = currentBegin; i < labelling.runs.size(); ++i) sets.Add();
    JoinRows(labelling.runs, previousBegin, currentBegin, sets);
    previousBegin = currentBegin;
  }
  labelling.objectCount = sets.NumberSets(labelling.objectOf);
  return labelling;
}

}  // namespace orvel::analysis
