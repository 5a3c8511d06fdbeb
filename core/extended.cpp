#include "core/extended.h"

#include <algorithm>
#include <bit>
#include <cmath>
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
using I64x4 = int64_t __attribute__((vector_size(32)));

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

// dst[0..3] := src[0..3] rounded to nearest double, ties to even; all ones in
// the lanes it cannot take (zero exponent but not zero, infinite, not a
// number, outside the double's normal range), whose dst is then meaningless.
// With Dq the processor converts 64-bit whole numbers to double itself (and
// gathers the four significands in order in one step).
template <bool Dq>
__attribute__((always_inline)) inline U64x4 fourFromX87(const Sample* src, F64x4& dst) {
    U64x4 lo, hi;
    std::memcpy(&lo, static_cast<const void*>(src), sizeof lo);
    std::memcpy(&hi, static_cast<const void*>(src + 2), sizeof hi);
    // Without Dq: values 0, 2, 1, 3 in the lanes (no lane crossing), put back on the way out.
    U64x4 mant, top; // top: sign, exponent, padding
    if constexpr (Dq) {
        mant = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
        top = __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
    } else {
        mant = __builtin_shufflevector(lo, hi, 0, 4, 2, 6);
        top = __builtin_shufflevector(lo, hi, 1, 5, 3, 7);
    }
    const U64x4 e = top & 0x7fff;
    // The significand as a whole number, rounded once: by the conversion, or by
    // the adder: its upper and lower 32 bits are exact doubles, and so is the
    // upper part's difference from the constants.
    F64x4 whole;
    if constexpr (Dq) {
        whole = __builtin_convertvector(mant, F64x4);
    } else {
        const U64x4 upperBits = (mant >> 32) | 0x4530000000000000;
        const U64x4 lowerBits = (mant & 0xffffffff) | 0x4330000000000000;
        F64x4 upper, lower;
        std::memcpy(&upper, &upperBits, sizeof upper);
        std::memcpy(&lower, &lowerBits, sizeof lower);
        whole = (upper - 0x1.00000001p84) + lower;
    }
    U64x4 wholeBits;
    std::memcpy(&wholeBits, &whole, sizeof wholeBits);
    // Its exponent is 63 (64 where rounding carried) and moves by e - 16383 - 63;
    // only e's low 12 bits reach the exponent field, which is all an exponent
    // in range needs.
    const U64x4 bits = wholeBits + (top << 52) + (uint64_t(-16446LL) << 52);
    // Normal doubles have exponents 1..2046 (extended 15361..16382+1024): one
    // signed comparison once the range is moved to the bottom.
    const U64x4 inRange =
        (U64x4)((I64x4)(e + (uint64_t(INT64_MIN) - 15361)) < (I64x4{} + (INT64_MIN + 2046)));
    const U64x4 normal = inRange & (U64x4)((I64x4)mant < 0);
    const U64x4 zero = (U64x4)((e | mant) == 0);
    const U64x4 out = (bits & normal) | ((top << 48) & (uint64_t(1) << 63));
    if constexpr (Dq) {
        std::memcpy(&dst, &out, sizeof out);
    } else {
        const U64x4 ordered = __builtin_shufflevector(out, out, 0, 2, 1, 3);
        std::memcpy(&dst, &ordered, sizeof ordered);
    }
    return ~(zero | normal);
}

[[gnu::always_inline]] inline bool any(U64x4 v) {
    return (v[0] | v[1] | v[2] | v[3]) != 0;
}

// The lanes are checked once a block of 32; a block with a value they cannot
// take is done again one by one.
// With Largest, the largest |dst[i]| (not-a-number passed over, as std::max does).
// Each value is multiplied by scale (without Scaled, by 1).
template <bool Largest, bool Dq, bool Scaled = false>
[[gnu::always_inline]] inline double x87ToDoublesBody(const Sample* src, int n, double* dst,
                                                      double scale = 1) {
    constexpr int kBlock = 32;
    F64x4 top{};
    const U64x4 magnitude = U64x4{} + ~(uint64_t(1) << 63);
    auto largest = [&](F64x4 d, F64x4 t) {
        U64x4 b;
        std::memcpy(&b, &d, sizeof b);
        b &= magnitude;
        F64x4 a;
        std::memcpy(&a, &b, sizeof a);
        return a > t ? a : t;
    };
    double wideTop = 0;
    int i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        U64x4 bad{};
        F64x4 t = top;
        for (int k = i; k < i + kBlock; k += 4) {
            F64x4 d;
            bad |= fourFromX87<Dq>(src + k, d);
            if constexpr (Scaled) d *= scale;
            std::memcpy(dst + k, &d, sizeof d);
            if constexpr (Largest) t = largest(d, t);
        }
        if (!any(bad)) {
            top = t;
            continue;
        }
        for (int k = i; k < i + kBlock; ++k) {
            dst[k] = static_cast<double>(src[k]);
            if constexpr (Scaled) dst[k] *= scale;
            if constexpr (Largest) wideTop = std::max(wideTop, std::fabs(dst[k]));
        }
    }
    for (; i < n; ++i) {
        dst[i] = static_cast<double>(src[i]);
        if constexpr (Scaled) dst[i] *= scale;
        if constexpr (Largest) wideTop = std::max(wideTop, std::fabs(dst[i]));
    }
    return std::max(wideTop, std::max(std::max(top[0], top[1]), std::max(top[2], top[3])));
}

__attribute__((target_clones("avx2", "default"))) void x87ToDoubles(const Sample* src, int n,
                                                                    double* dst) {
    x87ToDoublesBody<false, false>(src, n, dst);
}
__attribute__((target_clones("avx2", "default"))) double x87ToDoublesLargest(const Sample* src,
                                                                             int n, double* dst) {
    return x87ToDoublesBody<true, false>(src, n, dst);
}
__attribute__((target_clones("avx2", "default"))) double
x87ToScaledDoublesLargest(const Sample* src, int n, double scale, double* dst) {
    return x87ToDoublesBody<true, false, true>(src, n, dst, scale);
}
#define TARNIX_DQ gnu::target("avx2,avx512f,avx512dq,avx512vl")
[[TARNIX_DQ]] void x87ToDoublesDq(const Sample* src, int n, double* dst) {
    x87ToDoublesBody<false, true>(src, n, dst);
}
[[TARNIX_DQ]] double x87ToDoublesLargestDq(const Sample* src, int n, double* dst) {
    return x87ToDoublesBody<true, true>(src, n, dst);
}
[[TARNIX_DQ]] double x87ToScaledDoublesLargestDq(const Sample* src, int n, double scale,
                                                 double* dst) {
    return x87ToDoublesBody<true, true, true>(src, n, dst, scale);
}
#undef TARNIX_DQ

bool wideAllowed = true;
bool haveDq() {
    static const bool yes = __builtin_cpu_supports("avx512f") &&
                            __builtin_cpu_supports("avx512dq") &&
                            __builtin_cpu_supports("avx512vl");
    return yes && wideAllowed;
}

} // namespace

void allowWideConversions(bool allow) {
    wideAllowed = allow;
}

void samplesToDoubles(const Sample* src, int n, double* dst) {
    if constexpr (kX87Samples) {
        if (haveDq())
            x87ToDoublesDq(src, n, dst);
        else
            x87ToDoubles(src, n, dst);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<double>(src[i]);
    }
}

double samplesToDoublesLargest(const Sample* src, int n, double* dst) {
    if constexpr (kX87Samples)
        return haveDq() ? x87ToDoublesLargestDq(src, n, dst) : x87ToDoublesLargest(src, n, dst);
    double top = 0;
    for (int i = 0; i < n; ++i) {
        dst[i] = static_cast<double>(src[i]);
        top = std::max(top, std::fabs(dst[i]));
    }
    return top;
}

double samplesToScaledDoublesLargest(const Sample* src, int n, double scale, double* dst) {
    if constexpr (kX87Samples)
        return haveDq() ? x87ToScaledDoublesLargestDq(src, n, scale, dst)
                        : x87ToScaledDoublesLargest(src, n, scale, dst);
    double top = 0;
    for (int i = 0; i < n; ++i) {
        dst[i] = static_cast<double>(src[i]) * scale;
        top = std::max(top, std::fabs(dst[i]));
    }
    return top;
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
