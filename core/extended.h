#pragma once
// Whole numbers into extended-precision samples in bulk. Storing 80-bit values
// one by one through the x87 unit dominated the reading of a long line; here
// the vector unit converts to double (exact for 32-bit integers) and the 80-bit
// pattern is assembled from the double's fields.
#include "core/trace.h"

#include <cstdint>

namespace tarnix {

// dst[i] := src[i] for i < n, bit for bit as static_cast<Sample> stores it.
void wholeToSamples(const int32_t* src, int n, Sample* dst);

} // namespace tarnix
