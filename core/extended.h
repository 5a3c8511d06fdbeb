#pragma once
// Moving samples between extended precision and the vector unit in bulk.
// Loading and storing 80-bit values one by one through the x87 unit dominated
// the reading and filtering of long lines; here the bit patterns are taken
// apart and assembled with integer vector operations, four values at a time.
#include "core/trace.h"

#include <cstdint>

namespace tarnix {

// dst[i] := src[i] for i < n, bit for bit as static_cast<Sample> stores it.
void wholeToSamples(const int32_t* src, int n, Sample* dst);
void doublesToSamples(const double* src, int n, Sample* dst);
// dst[i] := src[i] rounded to double as static_cast<double> rounds it.
void samplesToDoubles(const Sample* src, int n, double* dst);
// The same, returning the largest |dst[i]| (not-a-number passed over).
double samplesToDoublesLargest(const Sample* src, int n, double* dst);
// dst[i] := src[i] rounded to double, times scale; the largest |dst[i]|.
double samplesToScaledDoublesLargest(const Sample* src, int n, double scale, double* dst);

// For tests: false keeps to 256-bit instructions where 512-bit ones would be used.
void allowWideConversions(bool allow);

} // namespace tarnix
