#pragma once
// The slice series of one scan: parallel lists in ascending title order, and its preview.
#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

enum PreviewKind : std::int16_t { kNoPreview = 0, kSidePreview = 1, kVolumePreview = 2, kOtherFile = 3 };

struct Dataset {
  std::vector<std::string> slicePaths;      // absolute
  std::vector<std::string> sliceTitles;     // file names without extension
  std::vector<std::uint16_t> sliceNumbers;  // the four digits, 0..9999
  std::string previewPath;                  // empty when there is none
  std::int16_t previewKind = kNoPreview;    // kind of the last file examined by the search

  int SliceCount() const { return static_cast<int>(slicePaths.size()); }
  // Pixel rows or voxel planes one slice stands for; at least 1 (one-slice datasets, or
  // numbers that do not increase, still give a usable spacing).
  int SliceSpacing() const;
};

}  // namespace orvel
