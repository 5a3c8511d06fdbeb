#include "core/extended.h"

#include <bit>
#include <cstring>
#include <limits>

namespace tarnix {

namespace {

// Sample is the x87 80-bit format (64-bit significand with an explicit leading
// bit, 15-bit exponent, sign), stored little-endian in a 16-byte slot.
constexpr bool kX87Samples = std::numeric_limits<Sample>::digits == 64 &&
                             std::numeric_limits<Sample>::max_exponent == 16384 &&
                             sizeof(Sample) == 16 && std::endian::native == std::endian::little;

using I32x4 = int32_t __attribute__((vector_size(16)));
using F64x4 = double __attribute__((vector_size(32)));
using U64x4 = uint64_t __attribute__((vector_size(32)));

// Four doubles that are normal numbers or zeros into dst[0..3]: significand
// with its leading bit made explicit, exponent rebiased, sign on top.
// False (nothing written) when one is subnormal, infinite or not a number.
__attribute__((always_inline)) inline bool fourToX87(const F64x4& d, Sample* dst) {
    U64x4 b;
    std::memcpy(&b, &d, sizeof b);
    const U64x4 exp = (b >> 52) & 0x7ff;
    const U64x4 frac = b << 12;
    const U64x4 special = (U64x4)(exp == 0x7ff) | ((U64x4)(exp == 0) & (U64x4)(frac != 0));
    if (special[0] | special[1] | special[2] | special[3]) return false;
    const U64x4 nonZero = (U64x4)(exp != 0);
    const U64x4 mant = ((b << 11) | (uint64_t(1) << 63)) & nonZero;
    const U64x4 signExp = ((exp + (16383 - 1023)) & nonZero) | ((b >> 63) << 15);
    const U64x4 lo = __builtin_shufflevector(mant, signExp, 0, 4, 1, 5);
    const U64x4 hi = __builtin_shufflevector(mant, signExp, 2, 6, 3, 7);
    std::memcpy(static_cast<void*>(dst), &lo, sizeof lo);
    std::memcpy(static_cast<void*>(dst + 2), &hi, sizeof hi);
    return true;
}

__attribute__((target_clones("avx2", "default"))) void wholeToX87(const int32_t* src, int n,
                                                                  Sample* dst) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        I32x4 iv;
        std::memcpy(&iv, src + i, sizeof iv);
        fourToX87(__builtin_convertvector(iv, F64x4), dst + i); // always normal or zero
    }
    for (; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
}

__attribute__((target_clones("avx2", "default"))) void doublesToX87(const double* src, int n,
                                                                    Sample* dst) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        F64x4 d;
        std::memcpy(&d, src + i, sizeof d);
        if (!fourToX87(d, dst + i))
            for (int k = i; k < i + 4; ++k) dst[k] = static_cast<Sample>(src[k]);
    }
    for (; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
}

// dst[0..3] := src[0..3] rounded to nearest double, ties to even. False
// (nothing written) when one is zero-exponent but not zero, infinite, not a
// number, or outside the double's normal range.
__attribute__((always_inline)) inline bool fourFromX87(const Sample* src, double* dst) {
    U64x4 lo, hi;
    std::memcpy(&lo, static_cast<const void*>(src), sizeof lo);
    std::memcpy(&hi, static_cast<const void*>(src + 2), sizeof hi);
    const U64x4 mant = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
    const U64x4 signExp = __builtin_shufflevector(lo, hi, 1, 3, 5, 7) & 0xffff;
    const U64x4 e = signExp & 0x7fff;
    const U64x4 zero = (U64x4)(e == 0) & (U64x4)(mant == 0);
    // Normal doubles have exponents 1..2046 (extended 15361..16382+1024).
    const U64x4 normal = (U64x4)(e >= 15361) & (U64x4)(e <= 17406) & (U64x4)((mant >> 63) == 1);
    const U64x4 bad = ~(zero | normal);
    if (bad[0] | bad[1] | bad[2] | bad[3]) return false;
    const U64x4 m = (mant >> 11) & ((uint64_t(1) << 52) - 1);
    const U64x4 rest = mant & 0x7ff;
    const U64x4 up = (U64x4)(rest > 0x400) | ((U64x4)(rest == 0x400) & (U64x4)((mant >> 11) & 1));
    // A carry out of the significand moves into the exponent, as it should.
    const U64x4 bits = ((((e - (16383 - 1023)) << 52) | m) + (up & 1)) & normal;
    const U64x4 out = bits | ((signExp >> 15) << 63);
    std::memcpy(dst, &out, sizeof out);
    return true;
}

__attribute__((target_clones("avx2", "default"))) void x87ToDoubles(const Sample* src, int n,
                                                                    double* dst) {
    int i = 0;
    for (; i + 4 <= n; i += 4)
        if (!fourFromX87(src + i, dst + i))
            for (int k = i; k < i + 4; ++k) dst[k] = static_cast<double>(src[k]);
    for (; i < n; ++i) dst[i] = static_cast<double>(src[i]);
}

} // namespace

void samplesToDoubles(const Sample* src, int n, double* dst) {
    if constexpr (kX87Samples) {
        x87ToDoubles(src, n, dst);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<double>(src[i]);
    }
}

void wholeToSamples(const int32_t* src, int n, Sample* dst) {
    if constexpr (kX87Samples) {
        wholeToX87(src, n, dst);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
    }
}

void doublesToSamples(const double* src, int n, Sample* dst) {
    if constexpr (kX87Samples) {
        doublesToX87(src, n, dst);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
    }
}

} // namespace tarnix
