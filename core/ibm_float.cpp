#include "core/ibm_float.h"

#include <array>
#include <cmath>

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

void ibmToDoubles(const uint32_t* src, int n, double* dst) {
    const double* w = kWeights.w.data();
    for (int i = 0; i < n; ++i) {
        const uint32_t b = src[i];
        const double v = static_cast<double>(b & 0xFFFFFFu) * w[(b >> 24) & 0x7F];
        dst[i] = (b & 0x80000000u) ? -v : v;
    }
}

} // namespace tarnix
