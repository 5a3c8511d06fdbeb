#include "processing/modules/gain.h"

#include "core/extended.h"
#include "processing/modules/checks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnix::modules {

namespace {

using V4 = double __attribute__((vector_size(32)));

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

// The rounding error of d = a - b (d as computed): a - b = d + the result.
inline double twoDiffLow(double a, double b, double d) {
    const double bb = a - d; // the part of b that made it into d
    return (a - (d + bb)) + (bb - b);
}

// Gain per output sample from the running window values: L / A, or L where A is 0.
__attribute__((target_clones("avx2", "default"))) void agcGains(double* g, int count,
                                                                double level) {
    for (int j = 0; j < count; ++j) g[j] = g[j] != 0 ? level / g[j] : level;
}

} // namespace

int agcm(double* samples, int n, int window, ModuleState& state) {
    n = checkedCount("AGCM", n);
    if (window <= 0 || n == 0) return 0;
    if (window % 2 == 0) ++window;
    const int h = window / 2;
    const int first = h + 1; // sample numbers from 1
    const int last = n - h;
    if (last < first) return 0;

    // Double precision with a running window sum: the result stays far inside
    // 1e-9 of the trace's peak of the sums taken anew in extended precision.
    double* x = samples - 1; // x[1..n]
    const double level = sumOf(samples, n, true) / n;

    // Window sum and count of non-zero samples slide with j, so the cost does
    // not depend on the window length. The window value A carries from one
    // output sample to the next: A_j = (A_j-1 + S_j) / c_j = A_j-1 R_j + S_j R_j
    // with R_j = 1 / c_j (0 for an empty window, which gives A_j = 0). Both
    // serial chains, the sum and A, advance two samples per step, so that each
    // pair waits for one multiply and one add rather than two of each; the
    // gains follow in a separate pass.
    const double* inverse = state.inverse.data();
    double* a = state.yd.data() - first; // a[first..last]
    // The window sum once the sample leaving it is removed, as sum + low:
    // `low` gathers the rounding of every step (two-sum), so what a loud
    // stretch leaves behind after passing stays tiny next to a faint stretch.
    double sum = 0, low = 0;
    int count = 0;
    for (int k = 1; k <= window - 1; ++k) {
        const double v = std::fabs(x[k]), t = sum + v, vv = t - sum;
        low += (sum - (t - vv)) + (v - vv);
        sum = t;
        count += x[k] != 0;
    }
    double value = 0;
    int j = first;
    for (; j + 1 <= last; j += 2) {
        const double in0 = std::fabs(x[j + h]), out0 = std::fabs(x[j - h]);
        const double in1 = std::fabs(x[j + 1 + h]), out1 = std::fabs(x[j + 1 - h]);
        const int c0 = count + (x[j + h] != 0), left0 = c0 - (x[j - h] != 0);
        const int c1 = left0 + (x[j + 1 + h] != 0), left1 = c1 - (x[j + 1 - h] != 0);
        // sum + d with its rounding, and the rounding of d itself, into low; an
        // empty window restarts both.
        const double d0 = in0 - out0;
        const double s0 = sum + (low + in0);
        const double t0 = sum + d0, v0 = t0 - sum;
        const double low0 = low + ((sum - (t0 - v0)) + (d0 - v0)) + twoDiffLow(in0, out0, d0);
        const double sum0 = left0 > 0 ? t0 : 0, lowA = left0 > 0 ? low0 : 0;
        const double d1 = in1 - out1;
        const double s1 = sum0 + (lowA + in1);
        const double t1 = sum0 + d1, v1 = t1 - sum0;
        const double low1 = lowA + ((sum0 - (t1 - v1)) + (d1 - v1)) + twoDiffLow(in1, out1, d1);
        sum = left1 > 0 ? t1 : 0;
        low = left1 > 0 ? low1 : 0;
        count = left1;
        const double r0 = c0 > 0 ? inverse[c0] : 0, r1 = c1 > 0 ? inverse[c1] : 0;
        const double b0 = s0 * r0, b1 = s1 * r1;
        a[j] = value * r0 + b0;
        value = value * (r0 * r1) + (b0 * r1 + b1);
        a[j + 1] = value;
    }
    if (j == last) {
        const double in = x[j + h];
        const int c = count + (in != 0);
        const double s = sum + (low + std::fabs(in));
        value = c > 0 ? (value + s) * inverse[c] : 0;
        a[j] = value;
    }
    agcGains(a + first, last - first + 1, level);
    double* y = x + 1;                                          // output, y[0..n-1] over x
    for (int i = 1; i < first; ++i) y[i - 1] = x[i] * a[first]; // leading h: the first gain
    for (int j = first; j <= last; ++j) y[j - 1] = x[j] * a[j];
    for (int i = last + 1; i <= n; ++i) y[i - 1] = x[i] * a[last]; // trailing h: the last gain
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
