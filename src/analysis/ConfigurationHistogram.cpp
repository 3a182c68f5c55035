#include "analysis/ConfigurationHistogram.h"

#include <vector>

namespace orvel::analysis {
namespace {

// Bit j of a byte moved to bit 0 of byte j: eight cubes' corner bits side by side, one byte each.
constexpr std::array<std::uint64_t, 256> kSpread = [] {
  std::array<std::uint64_t, 256> spread{};
  for (int b = 0; b < 256; ++b)
    for (int j = 0; j < 8; ++j)
      if (b >> j & 1) spread[b] |= std::uint64_t{1} << (8 * j);
  return spread;
}();

// The eight corners of 64 cubes in a row: cube c has its corners at columns c - 1 and c.
struct CornerWords {
  std::uint64_t corner[8];
};

// Adds the cubes of one word whose corners are not all alike, eight cubes (one byte of the
// words) at a time: where any cube of a byte is mixed, all eight are counted, the empty and full
// ones in bins 0 and 255, which the totals ignore. Corner k of a cube is its x = k & 1,
// y = (k >> 1) & 1, z = (k >> 2) & 1 neighbour. Four copies of the bins take turns, so that
// neighbouring cubes of the same configuration do not wait for each other's count (a third
// faster than one set of bins on noisy slices).
void CountWord(const CornerWords& w, std::array<std::int64_t, 256>* counts) {
  std::uint64_t any = 0, all = ~std::uint64_t{0};
  for (const std::uint64_t c : w.corner) {
    any |= c;
    all &= c;
  }
  const std::uint64_t mixed = any & ~all;
  if (mixed == 0) return;
  for (int byte = 0; byte < 8; ++byte) {
    if (((mixed >> (8 * byte)) & 0xFF) == 0) continue;
    std::uint64_t codes = 0;
    for (int k = 0; k < 8; ++k) codes |= kSpread[(w.corner[k] >> (8 * byte)) & 0xFF] << k;
    for (int j = 0; j < 8; ++j) ++counts[j & 3][(codes >> (8 * j)) & 0xFF];
  }
}

}  // namespace

ConfigurationHistogram::ConfigurationHistogram(int width, int height) : m_previous(width, height) {}

void ConfigurationHistogram::AddLayer(const VoxelPlane& layer) {
  CountBetween(m_previous, layer);
  m_previous = layer;
}

void ConfigurationHistogram::Finish() {
  const VoxelPlane empty(m_previous.Width(), m_previous.Height());
  CountBetween(m_previous, empty);
}

void ConfigurationHistogram::CountBetween(const VoxelPlane& below, const VoxelPlane& above) {
  const int height = below.Height(), words = below.RowWords();
  if (below.Width() == 0 || height == 0) return;
  const std::vector<std::uint64_t> zeroRow(static_cast<std::size_t>(words), 0);
  const auto rowOf = [&](const VoxelPlane& plane, int r) {
    return r < 0 || r >= height ? zeroRow.data() : plane.Row(r);
  };
  // Cube rows y = -1 .. height - 1 join image rows y and y + 1; the rows outside read as unset.
  for (int y = -1; y < height; ++y) {
    const std::uint64_t* rows[4] = {rowOf(below, y), rowOf(below, y + 1), rowOf(above, y), rowOf(above, y + 1)};
    std::uint64_t carry[4] = {0, 0, 0, 0};  // column 63 of the previous word, per row
    CornerWords w;
    for (int i = 0; i < words; ++i) {
      for (int r = 0; r < 4; ++r) {
        const std::uint64_t here = rows[r][i];
        w.corner[2 * r] = (here << 1) | carry[r];  // columns c - 1
        w.corner[2 * r + 1] = here;                // columns c
        carry[r] = here >> 63;
      }
      CountWord(w, m_bins.data());
    }
    // A width that fills whole words leaves the last cube, beyond the last column, for a word of
    // its own.
    if (below.Width() % 64 == 0) {
      for (int r = 0; r < 4; ++r) {
        w.corner[2 * r] = carry[r];
        w.corner[2 * r + 1] = 0;
      }
      CountWord(w, m_bins.data());
    }
  }
}

std::array<std::int64_t, 256> ConfigurationHistogram::Counts() const {
  std::array<std::int64_t, 256> counts{};
  for (const auto& bins : m_bins)
    for (int configuration = 1; configuration < 255; ++configuration) counts[configuration] += bins[configuration];
  return counts;
}

double ConfigurationHistogram::Total(const ConfigurationTable& table) const {
  const std::array<std::int64_t, 256> counts = Counts();
  double total = 0.0;
  for (int configuration = 0; configuration < 256; ++configuration)
    total += static_cast<double>(counts[configuration]) * table[configuration];
  return total;
}

}  // namespace orvel::analysis
