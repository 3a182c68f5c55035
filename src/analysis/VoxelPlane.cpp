#include "analysis/VoxelPlane.h"

#include <algorithm>
#include <bit>

#include "analysis/PopcountClones.h"

namespace orvel::analysis {

std::int64_t VoxelPlaneWords(std::int64_t width, std::int64_t height) { return (width + 63) / 64 * height; }

VoxelPlane::VoxelPlane(int width, int height)
    : m_width(width),
      m_height(height),
      m_rowWords((width + 63) / 64),
      m_words(static_cast<std::size_t>(VoxelPlaneWords(width, height)), 0) {}

// Compiled twice, with and without the processor's population count instruction, and chosen at
// load time: the portable bit-twiddling count took a third of the time of a model.
ORVEL_POPCOUNT_CLONES
std::int64_t KeepAndCount(std::uint64_t* words, const std::uint64_t* mask, int count) {
  std::int64_t set = 0;
  for (int i = 0; i < count; ++i) {
    words[i] &= mask[i];
    set += std::popcount(words[i]);
  }
  return set;
}

void VoxelPlane::ClearBorder() {
  if (m_height == 0 || m_width == 0) return;
  std::fill(Row(0), Row(0) + m_rowWords, std::uint64_t{0});
  std::fill(Row(m_height - 1), Row(m_height - 1) + m_rowWords, std::uint64_t{0});
  const int last = m_width - 1;
  const std::uint64_t keep = ~std::uint64_t{1};
  const std::uint64_t keepLast = ~(std::uint64_t{1} << (last % 64));
  for (int r = 1; r + 1 < m_height; ++r) {
    std::uint64_t* row = Row(r);
    row[0] &= keep;
    row[last / 64] &= keepLast;
  }
}

void VoxelPlane::SetAll() {
  if (m_width == 0) return;
  const int tailBits = m_width % 64;
  const std::uint64_t tail = tailBits == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << tailBits) - 1;
  for (int r = 0; r < m_height; ++r) {
    std::uint64_t* row = Row(r);
    std::fill(row, row + m_rowWords, ~std::uint64_t{0});
    row[m_rowWords - 1] = tail;
  }
}

}  // namespace orvel::analysis
