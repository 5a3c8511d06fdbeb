#include "processing/modules/statics.h"

#include "core/error.h"
#include "core/numtext.h"
#include "processing/modules/checks.h"
#include "processing/modules/fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <string>

namespace tarnix::modules {

namespace {

// A sample count as the constant shift covers it, whatever NumSamples is.
constexpr int kShiftSpan = kMaxRunSamples;

// Slots [from, from + count) move to [to, to + count).
void moveSlots(TraceBuffer& t, long long from, long long to, long long count) {
    if (count <= 0 || from == to) return;
    std::memmove(t.data() + to, t.data() + from, static_cast<size_t>(count) * sizeof(Sample));
}

Error outside(const char* module, long long shift) {
    return Error(std::string(module) + ": a shift of " + std::to_string(shift) +
                 " samples leaves the trace buffer of " + std::to_string(kTraceSlots) + " samples");
}

// sum over i < n - lag of x[i + lag] * m[i], in extended precision.
long double lagSum(const Sample* x, const Sample* m, int n, int lag) {
    long double s0 = 0, s1 = 0;
    const int c = n - lag;
    int i = 0;
    for (; i + 2 <= c; i += 2) {
        s0 += x[i + lag] * m[i];
        s1 += x[i + lag + 1] * m[i + 1];
    }
    if (i < c) s0 += x[i + lag] * m[i];
    return s0 + s1;
}

// The first lag with the largest positive sum among `lags`; -1 when none is positive.
int firstLargest(const Sample* x, const Sample* m, int n, const int* lags, int count) {
    int best = -1;
    long double top = 0;
    for (int j = 0; j < count; ++j) {
        const long double r = lagSum(x, m, n, lags[j]);
        if (r > top) {
            top = r;
            best = lags[j];
        }
    }
    return best;
}

// Few samples: every lag summed directly.
constexpr int kDirectSamples = 256;

} // namespace

long long shiftSamples(long double ms, long double rate) {
    return roundHalfEven(std::clamp<long double>(ms * rate, -1e15L, 1e15L));
}

int stam(TraceBuffer& trace, long long shift) {
    if (shift > kTraceSlots - kShiftSpan || -shift > kTraceSlots) throw outside("STAM", shift);
    if (shift == 0) return 0;
    if (shift > 0) {
        moveSlots(trace, shift, 0, kShiftSpan);
        return kShiftSpan;
    }
    const long long later = -shift;
    moveSlots(trace, 0, later, kShiftSpan - later);
    std::fill_n(trace.begin(), later, Sample(0));
    return static_cast<int>(std::max<long long>(kShiftSpan, later));
}

int sttm(TraceBuffer& trace, int n, long long shift) {
    n = checkedCount("STTM", n);
    if (n == 0 || shift == 0 || -shift >= n) return 0;
    if (n + shift > kTraceSlots) throw outside("STTM", shift);
    if (shift > 0)
        moveSlots(trace, shift, 0, n);
    else
        moveSlots(trace, 0, -shift, n + shift);
    return n;
}

long long trendShift(long double pickMs, long double originMs, long double rate, long double c) {
    return shiftSamples(c * (pickMs - originMs), rate);
}

namespace {

using Complex = std::complex<double>;

// e^(+2 pi i k / N) for k = 0..N/2, kept while N stays.
const Complex* halfTwiddles(int N, ModuleState& state) {
    if (state.astmTwiddleN != N) {
        for (int k = 0; k <= N / 2; ++k) {
            const double a = 2 * std::numbers::pi * k / N;
            state.astmTwiddles[k] = {std::cos(a), std::sin(a)};
        }
        state.astmTwiddleN = N;
    }
    return state.astmTwiddles.data();
}

// The transform of v[0..n-1] zero-padded to N real values, bins 0..N/2, through
// one transform of N/2 points of the even and odd values packed as complex.
void realForward(const double* v, int n, int N, const Complex* w, Complex* z, Complex* Z,
                 Complex* V) {
    const int h = N / 2;
    for (int j = 0; j < h; ++j)
        z[j] = {2 * j < n ? v[2 * j] : 0.0, 2 * j + 1 < n ? v[2 * j + 1] : 0.0};
    fftForward(z, Z, h);
    for (int k = 0; k <= h; ++k) {
        const Complex a = Z[k == h ? 0 : k], b = std::conj(Z[k == 0 ? 0 : h - k]);
        V[k] = 0.5 * (a + b) + w[k] * ((a - b) * Complex(0, -0.5));
    }
}

// r[0..N-1] of the real sequence whose transform is P (bins 0..N/2, Hermitian),
// through one inverse transform of N/2 points; r lands as (r[2j], r[2j+1]) in out[j].
void realInverse(const Complex* P, int N, const Complex* w, Complex* y, Complex* out) {
    const int h = N / 2;
    for (int k = 0; k < h; ++k) {
        const Complex hi = std::conj(P[h - k]); // P[k + N/2]
        y[k] = (P[k] + hi) + Complex(0, 1) * ((P[k] - hi) * std::conj(w[k]));
    }
    fftInverse(y, out, h);
}

} // namespace

int astmShift(const TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state) {
    n = checkedCount("ASTM", n);
    if (n <= 0) return 0;
    const Sample* x = trace.data();
    const Sample* m = mean.data();
    int* lags = state.astmLags.data();
    int best = -1;
    const PowerOfTwo p = powerOfTwo(2 * n - 1);
    // The trace and the mean in double: the transform's input and the bound of its rounding.
    double* xd = state.work.data();
    double* md = state.astmMean.data();
    bool same = state.astmMeanN == n;
    double xx = 0, mm = 0;
    for (int i = 0; i < n; ++i) {
        xd[i] = static_cast<double>(x[i]);
        const double v = static_cast<double>(m[i]);
        same = same && md[i] == v;
        md[i] = v;
        xx += xd[i] * xd[i];
        mm += v * v;
    }
    const double bound = std::sqrt(xx) * std::sqrt(mm);
    if (mm == 0 || xx == 0) return 0; // every sum is 0: none is positive
    if (n <= kDirectSamples || p.N > ModuleState::kCorrFftSize || !std::isfinite(bound)) {
        state.astmMeanN = -1;
        for (int k = 0; k < n; ++k) lags[k] = k;
        best = firstLargest(x, m, n, lags, n);
    } else {
        const Complex* w = halfTwiddles(p.N, state);
        Complex* z = state.corrA.data();
        Complex* Z = state.corrB.data();
        Complex* M = state.astmMeanSpectrum.data();
        Complex* X = state.astmSpectrum.data();
        // The mean's transform is kept while the mean and the length stay.
        if (!same) {
            realForward(md, n, p.N, w, z, Z, M);
            state.astmMeanN = n;
        }
        realForward(xd, n, p.N, w, z, Z, X);
        for (int k = 0; k <= p.N / 2; ++k) X[k] *= std::conj(M[k]);
        realInverse(X, p.N, w, z, Z);
        auto r = [Z](int k) { return (k % 2 == 0 ? Z[k / 2].real() : Z[k / 2].imag()) / 2; };
        double peak = r(0);
        for (int k = 1; k < n; ++k) peak = std::max(peak, r(k));
        // Far above the transform's rounding in double (about 1e-16 x log2 N of
        // the product of the norms): the true maximum is within it of the peak.
        const double tol = 1e-12 * p.m * bound;
        if (peak < -tol) return 0;
        int count = 0;
        for (int k = 0; k < n; ++k)
            if (r(k) >= peak - 2 * tol) lags[count++] = k;
        best = firstLargest(x, m, n, lags, count);
    }
    if (best < 0) return 0;
    const int s = best + 1; // the one-sample convention: zero lag moves one sample
    return s >= n ? 0 : s;
}

int astm(TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state) {
    const int s = astmShift(trace, n, mean, state);
    if (s == 0) return 0;
    moveSlots(trace, s, 0, n);
    return n;
}

ReflectionEstimate reflectionCoefficient(const TraceBuffer& trace, int n, long long pick,
                                         int window, bool spherical, long double distance,
                                         long double scale) {
    n = checkedCount("RCCM", n);
    if (window < 1 || window > n || pick < 0 || pick > n - window) return {0, false};
    long double pulse = 0, reflection = 0;
    for (int i = 0; i < window; ++i) {
        pulse += std::fabs(trace[i]);
        reflection += std::fabs(trace[pick + i]);
    }
    pulse /= window;
    reflection /= window;
    if (pulse == 0) return {0, true};
    long double rc = reflection / pulse;
    if (spherical) rc *= distance * scale;
    return {rc, true};
}

} // namespace tarnix::modules
