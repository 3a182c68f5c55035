#include "app/Dataset.h"

namespace orvel {

int Dataset::SliceSpacing() const {
  if (sliceNumbers.size() < 2) return 1;
  const int spacing = static_cast<int>(sliceNumbers[1]) - static_cast<int>(sliceNumbers[0]);
  return spacing < 1 ? 1 : spacing;
}

}  // namespace orvel
