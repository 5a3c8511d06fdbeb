#pragma once
// IBM System/360 single-precision floats, the classic SEG-Y sample format:
// sign bit, 7-bit base-16 exponent biased by 64, 24-bit fraction. Every such
// value is a double exactly (24 fraction bits, binary exponents -280 to 228),
// so the conversion rounds nothing.
#include <cstdint>

namespace tarnix {

double ibmToDouble(uint32_t bits);
// dst[i] := ibmToDouble(src[i]) for i < n.
void ibmToDoubles(const uint32_t* src, int n, double* dst);
// The same from the n 4-byte words at p in the given byte order.
void ibmBytesToDoubles(const unsigned char* p, int n, bool bigEndian, double* dst);

} // namespace tarnix
