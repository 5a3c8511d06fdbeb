#include "core/ibm_float.h"

#include <array>
#include <cmath>
#include <cstring>

namespace tarnix {

namespace {

// 16^(e - 64) / 2^24 for each exponent e: the weight of one fraction unit.
struct Weights {
    std::array<double, 128> w{};
    Weights() {
        for (int e = 0; e < 128; ++e) w[e] = std::ldexp(1.0, 4 * (e - 64) - 24);
    }
};
const Weights kWeights;

} // namespace

double ibmToDouble(uint32_t bits) {
    const double v = static_cast<double>(bits & 0xFFFFFFu) * kWeights.w[(bits >> 24) & 0x7F];
    return (bits & 0x80000000u) ? -v : v;
}

// The weight is built as bits rather than looked up, and the sign goes into
// it: no table, no branch, so the loop runs in vector lanes. The product of a
// fraction below 2^24 and a power of two is exact, as with the table.
__attribute__((always_inline)) inline double fromBits(uint32_t b) {
    // 2^(4e - 280): biased exponent 4e + 743, always a normal double.
    const uint64_t bits = (static_cast<uint64_t>((b >> 24) & 0x7F) * 4 + 743) << 52 |
                          static_cast<uint64_t>(b & 0x80000000u) << 32;
    double w;
    std::memcpy(&w, &bits, sizeof w);
    return static_cast<double>(static_cast<int32_t>(b & 0xFFFFFFu)) * w;
}

__attribute__((target_clones("avx2", "default"))) void ibmToDoubles(const uint32_t* src, int n,
                                                                    double* dst) {
    for (int i = 0; i < n; ++i) dst[i] = fromBits(src[i]);
}

__attribute__((target_clones("avx2", "default"))) void
ibmBytesToDoubles(const unsigned char* p, int n, bool bigEndian, double* dst) {
    if (bigEndian)
        for (int i = 0; i < n; ++i) {
            uint32_t b;
            std::memcpy(&b, p + 4 * i, sizeof b);
            dst[i] = fromBits(__builtin_bswap32(b));
        }
    else
        for (int i = 0; i < n; ++i) {
            uint32_t b;
            std::memcpy(&b, p + 4 * i, sizeof b);
            dst[i] = fromBits(b);
        }
}

} // namespace tarnix
