#include "processing/modules/gain.h"

#include "core/extended.h"
#include "processing/modules/checks.h"
#include "processing/modules/lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnix::modules {

namespace {

using lanes::V4, lanes::load4, lanes::store4, lanes::splat;

// Sum of n doubles, or of their magnitudes, in four interleaved partial sums
// (a fixed order, so the same on every machine).
__attribute__((target_clones("avx2", "default"))) double sumOf(const double* x, int n,
                                                               bool magnitudes) {
    V4 acc = {0, 0, 0, 0};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        V4 v;
        std::memcpy(&v, x + i, sizeof v);
        acc += magnitudes ? (v < 0 ? -v : v) : v;
    }
    double sum = (acc[0] + acc[1]) + (acc[2] + acc[3]);
    for (; i < n; ++i) sum += magnitudes ? std::fabs(x[i]) : x[i];
    return sum;
}

[[gnu::always_inline]] inline V4 magnitude(V4 v) {
    return v < 0 ? -v : v;
}
using I4 = long long __attribute__((vector_size(32)));

// sumOf's sum of magnitudes, in its order, and whether a sample is zero.
__attribute__((target_clones("avx2", "default"))) double magnitudeSum(const double* x, int n,
                                                                      bool& zeros) {
    V4 acc = {0, 0, 0, 0};
    I4 z = {0, 0, 0, 0};
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const V4 v = load4(x + i);
        acc += magnitude(v);
        z |= v == 0;
    }
    double sum = (acc[0] + acc[1]) + (acc[2] + acc[3]);
    bool any = (z[0] | z[1] | z[2] | z[3]) != 0;
    for (; i < n; ++i) sum += std::fabs(x[i]), any |= x[i] == 0;
    zeros = any;
    return sum;
}
// Each lane plus the lanes before it.
[[gnu::always_inline]] inline V4 sumsUpTo(V4 v) {
    const V4 z = {0, 0, 0, 0};
    v += __builtin_shufflevector(z, v, 0, 4, 5, 6);
    return v + __builtin_shufflevector(z, v, 0, 1, 4, 5);
}
// Each lane plus the lanes after it.
[[gnu::always_inline]] inline V4 sumsFrom(V4 v) {
    const V4 z = {0, 0, 0, 0};
    v += __builtin_shufflevector(v, z, 1, 2, 3, 4);
    return v + __builtin_shufflevector(v, z, 2, 3, 4, 5);
}
[[gnu::always_inline]] inline V4 lane3(V4 v) {
    return __builtin_shufflevector(v, v, 3, 3, 3, 3);
}

// Sums of magnitudes within blocks of L samples (L a multiple of 4 below the
// window, so that a window covers two or three blocks and its sum needs no
// subtraction, which would leave a loud stretch's rounding in the quiet one
// after it): up[i] from the block's start to i, plus the block before where a
// window ending at i starts two blocks back; down[i] from i to the block's
// end. With `counts`, count[i] = non-zero samples before i. Samples from n on
// count as zeros.
__attribute__((target_clones("avx2", "default"))) void
blockSums(const double* x, int n, int L, int d, double* up, double* down, double* count) {
    const V4 zero = {0, 0, 0, 0}, one = {1, 1, 1, 1};
    const V4 early = {d > 0 ? 1.0 : 0.0, d > 1 ? 1.0 : 0.0, d > 2 ? 1.0 : 0.0, 0};
    const int end = (n + 3) / 4 * 4;
    // the last few samples padded with zeros, so that every block loads whole vectors
    double tail[4] = {0, 0, 0, 0};
    std::memcpy(tail, x + (n & ~3), sizeof(double) * (n & 3));
    const auto at = [&](int i) { return i + 4 <= n ? load4(x + i) : load4(tail); };
    V4 before = zero, counted = zero;
    if (count) count[0] = 0;
    for (int b = 0; b < n; b += L) {
        const int e = std::min(b + L, end);
        V4 run = zero;
        for (int i = b; i < e; i += 4) {
            const V4 v = at(i);
            const V4 s = sumsUpTo(magnitude(v));
            const V4 p = s + run;
            store4(up + i, i == b ? p + before * early : p);
            run += lane3(s);
            if (count) {
                const V4 c = sumsUpTo(v != 0 ? one : zero);
                store4(count + i + 1, c + counted);
                counted += lane3(c);
            }
        }
        before = run;
        run = zero;
        for (int i = e - 4; i >= b; i -= 4) {
            const V4 s = sumsFrom(magnitude(at(i)));
            store4(down + i, s + run);
            run += __builtin_shufflevector(s, s, 0, 0, 0, 0);
        }
    }
}

// The window values A_j = (A_j-1 + S_j) / c_j for outputs j0..j1 and
// their gains applied: one affine step per output, composed four at a time
// so that the carried value waits for one multiply and one add per four
// outputs. All terms are non-negative: no cancellation.
__attribute__((target_clones("avx2", "default"))) void
windowGains(double* x, int n, int h, const double* up, const double* down, const double* count,
            const double* inverse, double level, double* firstLast) {
    const int w = 2 * h + 1, j1 = n - 1 - h;
    const V4 zero = {0, 0, 0, 0}, one = {1, 1, 1, 1}, lv = splat(level);
    const double r = inverse[w];
    const V4 rv = splat(r), r2 = splat(r * r);
    const V4 rPowers = {r, r * r, r * r * r, (r * r) * (r * r)};
    double value = 0;
    int j = h;
    bool first = true;
    for (; j + 3 <= j1; j += 4) {
        const V4 S = load4(down + j - h) + load4(up + j + h);
        V4 R, B;
        bool full = !count;
        V4 C = zero;
        if (count) {
            C = load4(count + j + h + 1) - load4(count + j - h);
            full = C[0] == w && C[1] == w && C[2] == w && C[3] == w;
        }
        if (full) {
            B = S * rv;
            B += __builtin_shufflevector(zero, B, 0, 4, 5, 6) * rv;
            B += __builtin_shufflevector(zero, B, 0, 1, 4, 5) * r2;
            R = rPowers;
        } else {
            const V4 rc = {inverse[int(C[0])], inverse[int(C[1])], inverse[int(C[2])],
                           inverse[int(C[3])]};
            B = S * rc;
            R = rc;
            B += __builtin_shufflevector(zero, B, 0, 4, 5, 6) * R;
            R *= __builtin_shufflevector(one, R, 0, 4, 5, 6);
            B += __builtin_shufflevector(zero, B, 0, 1, 4, 5) * R;
            R *= __builtin_shufflevector(one, R, 0, 1, 4, 5);
        }
        const V4 A = splat(value) * R + B;
        value = value * R[3] + B[3];
        const V4 g = A != 0 ? lv / (A != 0 ? A : one) : lv;
        if (first) firstLast[0] = g[0], first = false;
        store4(x + j, load4(x + j) * g);
        firstLast[1] = g[3];
    }
    for (; j <= j1; ++j) {
        const double S = down[j - h] + up[j + h];
        const int c = count ? int(count[j + h + 1] - count[j - h]) : w;
        value = (value + S) * inverse[c];
        const double g = value != 0 ? level / value : level;
        if (first) firstLast[0] = g, first = false;
        x[j] *= g;
        firstLast[1] = g;
    }
}

} // namespace

int agcm(double* samples, int n, int window, ModuleState& state) {
    n = checkedCount("AGCM", n);
    if (window <= 0 || n == 0) return 0;
    if (window % 2 == 0) ++window;
    const int h = window / 2;
    if (n - h < h + 1) return 0; // no whole window fits

    bool zeros;
    const double level = magnitudeSum(samples, n, zeros) / n;
    double* up = state.xd.data();
    double* down = up + kTraceSlots + 32;
    // Without a zero sample every window counts `window` of them.
    double* count = zeros ? state.yd.data() : nullptr;
    if (window >= 5) {
        const int L = (window - 1) / 4 * 4;
        blockSums(samples, n, L, window - 1 - L, up, down, count);
    } else { // one or three samples, summed directly
        std::fill(up, up + n, 0.0);
        for (int s = 0; s + window <= n; ++s) {
            double sum = 0;
            for (int k = s; k < s + window; ++k) sum += std::fabs(samples[k]);
            down[s] = sum;
        }
        if (count) {
            count[0] = 0;
            for (int i = 0; i < n; ++i) count[i + 1] = count[i] + (samples[i] != 0);
        }
    }
    double gains[2]; // of the first and the last output
    windowGains(samples, n, h, up, down, count, state.inverse.data(), level, gains);
    for (int i = 0; i < h; ++i) samples[i] *= gains[0];
    for (int i = n - h; i < n; ++i) samples[i] *= gains[1];
    return n;
}

void agcm(TraceBuffer& trace, int n, int window, ModuleState& state) {
    n = checkedCount("AGCM", n);
    double* x = state.work.data();
    samplesToDoubles(trace.data(), n, x);
    doublesToSamples(x, agcm(x, n, window, state), trace.data());
}

void tvgm(TraceBuffer& trace, int n, double slope) {
    n = checkedCount("TVGM", n);
    for (int i = 1; i <= n; ++i)
        trace[i - 1] = (static_cast<long double>(i) * slope) * trace[i - 1];
}

void ling(TraceBuffer& trace, int n, double gain, int fullScale) {
    n = checkedCount("LING", n);
    for (int i = 0; i < n; ++i) {
        const long double v = trace[i] * gain;
        trace[i] = fullScale <= v ? static_cast<long double>(fullScale) : v;
    }
}

void normalise(long double* x, int n, int mode, int fullScale) {
    if (n <= 0) return;
    double lo = static_cast<double>(x[0]), hi = lo;
    for (int i = 0; i < n; ++i) {
        const double v = static_cast<double>(x[i]);
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    }
    const double range = std::fabs(lo) + hi;
    if (range == 0) return;
    if (mode == 0) {
        for (int i = 0; i < n; ++i) x[i] = x[i] / range * fullScale;
        return;
    }
    const long double top = fullScale / 2;
    for (int i = 0; i < n; ++i) {
        long double v = x[i] / range * top;
        if (v < 0) v = 0;
        if (v > top) v = top;
        x[i] = v;
    }
}

void normalise(TraceBuffer& trace, int n, int mode, int fullScale) {
    normalise(trace.data(), checkedCount("NORM", n), mode, fullScale);
}

int dbas(double* x, int n) {
    if (n <= 0) return 0;
    // In double: far inside 1e-9 of the peak of the extended sums.
    const double mean = sumOf(x, n, false) / n;
    for (int i = 0; i < n; ++i) x[i] -= mean;
    return n;
}

void dbas(long double* x, int n) {
    if (n <= 0) return;
    long double mean = 0;
    for (int i = 0; i < n; ++i) mean += x[i];
    mean /= n;
    for (int i = 0; i < n; ++i) x[i] -= mean;
}

void dbas(TraceBuffer& trace, int n) {
    dbas(trace.data(), checkedCount("DBAS", n));
}

void dbas(TraceBuffer& trace, int n, ModuleState& state) {
    n = checkedCount("DBAS", n);
    double* x = state.work.data();
    samplesToDoubles(trace.data(), n, x);
    doublesToSamples(x, dbas(x, n), trace.data());
}

void derv(TraceBuffer& trace, int n) {
    n = checkedCount("DERV", n);
    for (int i = 0; i + 1 < n; ++i) trace[i] = trace[i] - trace[i + 1];
}

void absm(TraceBuffer& trace, int n) {
    n = checkedCount("ABSM", n);
    for (int i = 0; i < n; ++i) trace[i] = std::fabs(trace[i]);
}

void grad(TraceBuffer& trace, int n) {
    n = checkedCount("GRAD", n);
    for (int i = 1; i <= n - 2; ++i) {
        const double a = i, b = i + 1;
        const double p = static_cast<double>(trace[i - 1]);
        const double q = static_cast<double>(trace[i]);
        const double d = p - q;
        const double c = q * a - p * b;
        trace[i - 1] = d == 0 ? c : std::cos(std::atan(1 / d)) * c;
    }
}

} // namespace tarnix::modules
