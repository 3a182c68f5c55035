#pragma once
// One plane of the binary 3D model over the selection box, one bit per voxel: row r (image row
// minY + r, top-down) is rowWords() 64-bit words, column c (image column minX + c) is bit c % 64
// of word c / 64. Bits beyond the width are always zero, so whole words can be combined freely.
#include <cstdint>
#include <vector>

namespace orvel::analysis {

class VoxelPlane {
 public:
  VoxelPlane() = default;
  VoxelPlane(int width, int height);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int RowWords() const { return m_rowWords; }
  std::uint64_t* Row(int r) { return m_words.data() + static_cast<std::size_t>(r) * m_rowWords; }
  const std::uint64_t* Row(int r) const { return m_words.data() + static_cast<std::size_t>(r) * m_rowWords; }

  // Clears the outermost rows and columns: the analysis never counts surface on the box's edge.
  void ClearBorder();
  // Every voxel of the width set (the rectangle admits the whole box).
  void SetAll();

 private:
  int m_width = 0;
  int m_height = 0;
  int m_rowWords = 0;
  std::vector<std::uint64_t> m_words;
};

// Keeps the bits of words[0 .. count - 1] that mask also has, and returns how many that are.
std::int64_t KeepAndCount(std::uint64_t* words, const std::uint64_t* mask, int count);

// Words a plane of width x height voxels takes, rows padded to whole words.
std::int64_t VoxelPlaneWords(std::int64_t width, std::int64_t height);

}  // namespace orvel::analysis
