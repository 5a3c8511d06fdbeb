#include "processing/modules/fir.h"

#include "core/error.h"
#include "core/extended.h"
#include "processing/modules/checks.h"
#include "processing/modules/lanes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

namespace tarnix::modules {

namespace {

// Modified Bessel function of the first kind, order 0, by its power series.
double besselI0(double x) {
    double sum = 1, term = 1;
    const double q = x * x / 4;
    for (int k = 1; k < 500; ++k) {
        term *= q / (double(k) * k);
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

std::string rowText(int row) {
    return "FLTM in row " + std::to_string(row);
}

} // namespace

double taperValue(int taper, int k, int M) {
    if (k == 1) return 1; // also keeps a one-point filter clear of 0 / 0
    const long double N = 2 * M - 1;
    const long double pi = std::numbers::pi_v<long double>;
    switch (taper) {
    case kHamming:
        return 0.54L + 0.46L * std::cos(2 * pi * (k - 1) / (N - 1));
    case kHanning:
        return 0.5L + 0.5L * std::cos(2 * pi * (k - 1) / (N + 1));
    case kCosine:
        return std::cos(pi * (k - 1) / (N - 1));
    case kTriangular:
        return 1 - static_cast<long double>(k - 1) / M;
    case kKaiser: {
        const double u = double(k - 1) / (M - 1);
        return besselI0(kKaiserBeta * std::sqrt(1 - u * u)) / besselI0(kKaiserBeta);
    }
    }
    throw Error("Filter taper " + std::to_string(taper) + " is not one of 0 to 4");
}

void designFir(int length, int taper, int type, double highCut, double lowCut,
               long double sampleRate, std::vector<long double>& coef, double* h) {
    if (!(sampleRate > 0) || !std::isfinite(sampleRate))
        throw Error("The sample rate is zero: a filter cannot be designed");
    if (type < kBandPass || type > kNotch)
        throw Error("Filter type " + std::to_string(type) + " is not one of 0 to 3");
    if (taper < kHamming || taper > kKaiser)
        throw Error("Filter taper " + std::to_string(taper) + " is not one of 0 to 4");
    if (length < 1) throw Error("Filter length " + std::to_string(length) + " is below 1");
    if (!std::isfinite(highCut) || !std::isfinite(lowCut))
        throw Error("The filter's cut-off frequencies are not numbers");
    const int L = length % 2 == 0 ? length + 1 : length;
    const int M = (L + 1) / 2;
    const long double fs = sampleRate * 1000;
    const long double wl = lowCut / fs, wh = highCut / fs;
    long double a = 0, b = 0;
    switch (type) {
    case kBandPass:
    case kNotch:
        a = wh - wl, b = wh + wl;
        break;
    case kLowPass:
        a = b = wh;
        break;
    case kHighPass:
        a = b = wl;
        break;
    }
    const long double pi = std::numbers::pi_v<long double>;
    h -= 1; // h[1..M]
    h[1] = static_cast<double>(2 * a);
    for (int j = 2; j <= M; ++j) {
        const long double t = pi * (j - 1);
        h[j] = static_cast<double>(2 * std::sin(t * a) * std::cos(t * b) / t);
    }
    for (int j = 1; j <= M; ++j)
        h[j] = static_cast<double>(static_cast<long double>(h[j]) * taperValue(taper, j, M));
    if (type == kHighPass || type == kNotch) {
        h[1] = 1 - h[1];
        for (int j = 2; j <= M; ++j) h[j] = -h[j];
    }
    coef.assign(L, 0);
    for (int j = 1; j <= M; ++j) {
        coef[j - 1] = h[M + 1 - j];
        coef[L - j] = h[M + 1 - j];
    }
}

namespace {

void checkConvolution(int n, int L, int total, bool align) {
    const long long need = align ? static_cast<long long>(n) + (L + 1) / 2 : 0;
    if (n < 0 || L < 0 || total < static_cast<long long>(n) + L - 1 || total < need)
        throw Error("Convolution of " + std::to_string(n) + " samples with " + std::to_string(L) +
                    " coefficients does not fit " + std::to_string(total) + " output samples");
}

using lanes::V4, lanes::load4;

// Each output is summed tap by tap in one fixed order, a multiply and an add
// per tap: first the taps 0, 4, 8, ..., then 1, 5, 9, ..., then 2, ... and 3,
// .... Every path below keeps it (the blocks, the short blocks and the single
// outputs, in every clone), so the results do not depend on the vector unit.
//
// Within one phase j a block's vector for tap j + 4m is x[k + j + 4(m + i)]:
// the next tap needs the vectors shifted by one block and one new load. With
// the vectors kept in registers each tap costs two loads instead of one per
// accumulator, which (the unaligned ones splitting cache lines) bounded the
// plain loop; five accumulators fill the registers and keep the adds busy.
#define TARNIX_FIR_STEP(W0, W1, W2, W3, W4, M)                                                     \
    {                                                                                              \
        const double cs = cj[4 * (M)];                                                             \
        const V4 cv = {cs, cs, cs, cs};                                                            \
        a0 += cv * W0;                                                                             \
        a1 += cv * W1;                                                                             \
        a2 += cv * W2;                                                                             \
        a3 += cv * W3;                                                                             \
        a4 += cv * W4;                                                                             \
        W0 = load4(xs + 4 * ((M) + 5));                                                            \
    }

// full[k] = sum over t < taps of c[t] * x[k + t], for k < count; x holds
// count + taps - 1 values and slack for the loads a block makes past them
// (up to 24 values, never used).
__attribute__((target_clones("avx2", "default"))) void
slidingDot(const double* x, const double* c, int taps, int count, double* full) {
    int k = 0;
    for (; k + 20 <= count; k += 20) {
        V4 a0 = {0, 0, 0, 0}, a1 = a0, a2 = a0, a3 = a0, a4 = a0;
        for (int j = 0; j < 4 && j < taps; ++j) {
            const double* xs = x + k + j;
            const double* cj = c + j;
            const int steps = (taps - j + 3) / 4;
            V4 w0 = load4(xs), w1 = load4(xs + 4), w2 = load4(xs + 8), w3 = load4(xs + 12),
               w4 = load4(xs + 16);
            int m = 0;
            for (; m + 5 <= steps; m += 5) {
                TARNIX_FIR_STEP(w0, w1, w2, w3, w4, m)
                TARNIX_FIR_STEP(w1, w2, w3, w4, w0, m + 1)
                TARNIX_FIR_STEP(w2, w3, w4, w0, w1, m + 2)
                TARNIX_FIR_STEP(w3, w4, w0, w1, w2, m + 3)
                TARNIX_FIR_STEP(w4, w0, w1, w2, w3, m + 4)
            }
            for (; m < steps; ++m) {
                const double cs = cj[4 * m];
                const V4 cv = {cs, cs, cs, cs};
                a0 += cv * w0;
                a1 += cv * w1;
                a2 += cv * w2;
                a3 += cv * w3;
                a4 += cv * w4;
                w0 = w1, w1 = w2, w2 = w3, w3 = w4;
                w4 = load4(xs + 4 * (m + 5));
            }
        }
        std::memcpy(full + k, &a0, sizeof a0);
        std::memcpy(full + k + 4, &a1, sizeof a1);
        std::memcpy(full + k + 8, &a2, sizeof a2);
        std::memcpy(full + k + 12, &a3, sizeof a3);
        std::memcpy(full + k + 16, &a4, sizeof a4);
    }
    for (; k + 4 <= count; k += 4) {
        V4 a = {0, 0, 0, 0};
        for (int j = 0; j < 4; ++j)
            for (int t = j; t < taps; t += 4) {
                const V4 cv = {c[t], c[t], c[t], c[t]};
                a += cv * load4(x + k + t);
            }
        std::memcpy(full + k, &a, sizeof a);
    }
    for (; k < count; ++k) {
        double s = 0;
        for (int j = 0; j < 4; ++j)
            for (int t = j; t < taps; t += 4) s += c[t] * x[k + t];
        full[k] = s;
    }
}

#undef TARNIX_FIR_STEP

} // namespace

void convolve(int n, int L, int total, const long double* c, int cLen, const long double* x,
              bool align, long double* y) {
    checkConvolution(n, L, total, align);
    const int taps = std::min(L, cLen);
    std::fill(y, y + total, 0.0L);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < taps; ++j) y[i + j] += x[i] * c[j];
    if (align) {
        const int s = (L + 1) / 2;
        for (int k = 0; k < n; ++k) y[k] = y[k + s];
    }
}

namespace {

// The convolution of the n samples the caller put at state.xd + taps - 1,
// into state.yd: y[k] for k < total as convolve() lays them out, starting at
// the returned pointer.
const double* convolvePadded(int n, int L, int total, const long double* c, int cLen,
                             ModuleState& state) {
    const int taps = std::max(0, std::min(L, cLen));
    const int full = taps > 0 ? n + taps - 1 : 0; // non-zero part of the result
    double* xp = state.xd.data();
    double* cr = state.cd.data();
    double* yf = state.yd.data();
    // x padded with taps - 1 zeros on both sides; coefficients reversed, so
    // every output is a dot product over a contiguous stretch.
    const int pad = std::max(0, taps - 1);
    std::fill(xp, xp + pad, 0.0);
    std::fill(xp + pad + n, xp + 2 * pad + n + 16, 0.0);
    for (int t = 0; t < taps; ++t) cr[t] = static_cast<double>(c[taps - 1 - t]);
    slidingDot(xp, cr, taps, full, yf);
    std::fill(yf + full, yf + std::max(full, total) + 1, 0.0);
    return yf;
}

int padOf(int L, int cLen) {
    return std::max(0, std::min(L, cLen) - 1);
}

} // namespace

void convolveFast(int n, int L, int total, const long double* c, int cLen, const long double* x,
                  bool align, long double* y, ModuleState& state) {
    checkConvolution(n, L, total, align);
    if (total > kTraceSlots) throw Error("Convolution output beyond the trace buffer");
    samplesToDoubles(x, n, state.xd.data() + padOf(L, cLen));
    const double* yf = convolvePadded(n, L, total, c, cLen, state);
    const int s = align ? (L + 1) / 2 : 0;
    doublesToSamples(yf + s, n, y);
    if (total > n) doublesToSamples(yf + n, total - n, y + n);
}

void convolveFast(int n, int L, int total, const long double* c, int cLen, const double* x,
                  bool align, double* y, ModuleState& state) {
    checkConvolution(n, L, total, align);
    if (total > kTraceSlots) throw Error("Convolution output beyond the trace buffer");
    std::memcpy(state.xd.data() + padOf(L, cLen), x, sizeof(double) * static_cast<size_t>(n));
    const double* yf = convolvePadded(n, L, total, c, cLen, state);
    const int s = align ? (L + 1) / 2 : 0;
    std::memcpy(y, yf + s, sizeof(double) * static_cast<size_t>(n));
    if (total > n) std::memcpy(y + n, yf + n, sizeof(double) * static_cast<size_t>(total - n));
}

namespace {

// The checks and the (re)design of FLTM; returns the sample count.
int fltmPrepare(int row, int nd, int taper, bool redesign, int length, double highCut,
                double lowCut, int type, long double sampleRate, ModuleState& state) {
    if (row < 1 || row > ModuleState::kFilterRows)
        throw Error(rowText(row) + ": a filter can be kept for rows 1 to " +
                    std::to_string(ModuleState::kFilterRows) + " only");
    const int n = checkedCount("FLTM", nd);
    if (length < 1)
        throw Error(rowText(row) + ": the filter length " + std::to_string(length) + " is below 1");
    if (static_cast<long long>(n) + length > kTraceSlots)
        throw Error(rowText(row) + ": a filter of " + std::to_string(length) + " points on " +
                    std::to_string(n) + " samples does not fit the trace buffer of " +
                    std::to_string(kTraceSlots) + " samples");
    state.fltmType = type;
    FilterStore& store = state.filters[row];
    if (redesign || !store.designed) {
        try {
            designFir(length, taper, type, highCut, lowCut, sampleRate, store.coef,
                      state.half.data());
        } catch (const Error& e) {
            store.designed = false;
            throw Error(rowText(row) + ": " + e.what());
        }
        store.designed = true;
    }
    return n;
}

} // namespace

void fltm(long double* x, int row, int nd, int taper, bool redesign, int length, double highCut,
          double lowCut, int type, long double sampleRate, ModuleState& state) {
    const int n =
        fltmPrepare(row, nd, taper, redesign, length, highCut, lowCut, type, sampleRate, state);
    const FilterStore& store = state.filters[row];
    convolveFast(n, length, n + length, store.coef.data(), static_cast<int>(store.coef.size()), x,
                 true, x, state);
}

int fltm(double* x, int row, int nd, int taper, bool redesign, int length, double highCut,
         double lowCut, int type, long double sampleRate, ModuleState& state) {
    const int n =
        fltmPrepare(row, nd, taper, redesign, length, highCut, lowCut, type, sampleRate, state);
    const FilterStore& store = state.filters[row];
    convolveFast(n, length, n + length, store.coef.data(), static_cast<int>(store.coef.size()), x,
                 true, x, state);
    return n + length;
}

void fltm(TraceBuffer& trace, int row, int nd, int taper, bool redesign, int length, double highCut,
          double lowCut, int type, long double sampleRate, ModuleState& state) {
    fltm(trace.data(), row, nd, taper, redesign, length, highCut, lowCut, type, sampleRate, state);
}

} // namespace tarnix::modules
