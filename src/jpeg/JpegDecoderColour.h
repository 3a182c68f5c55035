#pragma once
// Colour conversion of the decoder's output rows.
#include <cstdint>

namespace orvel::jpeg {

// Converts count samples of the three planes to blue, green, red byte triples (JFIF YCbCr).
void YcbcrToBgr(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::uint8_t* bgr, int count);

}  // namespace orvel::jpeg
