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

__attribute__((target_clones("avx2", "default"))) void wholeToX87(const int32_t* src, int n,
                                                                   Sample* dst) {
    constexpr uint64_t lead = uint64_t(1) << 63;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        I32x4 iv;
        std::memcpy(&iv, src + i, sizeof iv);
        const F64x4 d = __builtin_convertvector(iv, F64x4);
        U64x4 b;
        std::memcpy(&b, &d, sizeof b);
        // A 32-bit integer is a normal double or zero: significand with its
        // leading bit made explicit, exponent rebiased, sign on top.
        const U64x4 nonZero = (U64x4)((b << 1) != 0);
        const U64x4 mant = ((b << 11) | lead) & nonZero;
        const U64x4 signExp = ((((b >> 52) & 0x7ff) + (16383 - 1023)) | ((b >> 63) << 15)) & nonZero;
        const U64x4 lo = __builtin_shuffle(mant, signExp, (U64x4){0, 4, 1, 5});
        const U64x4 hi = __builtin_shuffle(mant, signExp, (U64x4){2, 6, 3, 7});
        std::memcpy(static_cast<void*>(dst + i), &lo, sizeof lo);
        std::memcpy(static_cast<void*>(dst + i + 2), &hi, sizeof hi);
    }
    for (; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
}

} // namespace

void wholeToSamples(const int32_t* src, int n, Sample* dst) {
    if constexpr (kX87Samples) {
        wholeToX87(src, n, dst);
    } else {
        for (int i = 0; i < n; ++i) dst[i] = static_cast<Sample>(src[i]);
    }
}

} // namespace tarnix
