#include "processing/modules/statics.h"

#include "core/error.h"
#include "core/numtext.h"
#include "processing/modules/checks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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
// Lags a transform may leave to be summed directly.
constexpr int kDirectCandidates = 16;

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

// The one-sample convention: zero lag moves one sample; no positive sum, or a
// shift of the whole trace, moves nothing.
int shiftOf(int lag, int n) {
    if (lag < 0) return 0;
    return lag + 1 >= n ? 0 : lag + 1;
}

} // namespace

int astmShift(const TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state,
              long long meanVersion) {
    n = checkedCount("ASTM", n);
    if (n <= 0) return 0;
    const Sample* x = trace.data();
    const Sample* m = mean.data();
    int* lags = state.astmLags.data();
    int best = -1;
    auto direct = [&] {
        for (int k = 0; k < n; ++k) lags[k] = k;
        return firstLargest(x, m, n, lags, n);
    };
    if (n <= kDirectSamples) {
        best = direct();
    } else {
        // The mean's transform and norm are kept while its first n slots stay
        // byte for byte as they were.
        const size_t bytes = static_cast<size_t>(n) * sizeof(Sample);
        const bool trusted = meanVersion >= 0 && meanVersion == state.astmMeanVersion;
        if (state.astmMeanN != n ||
            (!trusted && std::memcmp(state.astmMean.data(), m, bytes) != 0)) {
            std::memcpy(state.astmMean.data(), m, bytes);
            double mm = 0;
            for (int i = 0; i < n; ++i) mm += static_cast<double>(m[i]) * static_cast<double>(m[i]);
            state.astmMeanNorm2 = mm;
            state.astmTransform->setReference(m, n);
            state.astmMeanN = n;
        }
        state.astmMeanVersion = meanVersion;
        // A single-precision search first; the double one when it leaves too
        // many lags to sum directly.
        bool sure = false;
        const int found = state.astmTransform->candidates(x, lags, kDirectCandidates, sure);
        if (found == RealCorrelation::kUseDirect) return shiftOf(direct(), n);
        if (found >= 0) {
            best = found == 1 && sure ? lags[0] : firstLargest(x, m, n, lags, found);
            return shiftOf(best, n);
        }
        const double mm = state.astmMeanNorm2;
        double* c = state.astmCorrelation.data();
        const double xx = state.astmTransform->correlate(x, c);
        const double bound = std::sqrt(xx) * std::sqrt(mm);
        if (mm == 0 || xx == 0) return 0; // every sum is 0: none is positive
        if (!std::isfinite(bound)) return shiftOf(direct(), n);
        double peak = c[0];
        for (int k = 1; k < n; ++k) peak = std::max(peak, c[k]);
        // Far above the transform's rounding in double (about 1e-16 x log2 N of
        // the product of the norms): the true maximum is within it of the peak.
        const double tol = 1e-12 * state.astmTransform->log2Points() * bound;
        if (peak < -tol) return 0;
        int count = 0;
        for (int k = 0; k < n; ++k)
            if (c[k] >= peak - 2 * tol) lags[count++] = k;
        best = firstLargest(x, m, n, lags, count);
    }
    return shiftOf(best, n);
}

int astm(TraceBuffer& trace, int n, const TraceBuffer& mean, ModuleState& state,
         long long meanVersion) {
    const int s = astmShift(trace, n, mean, state, meanVersion);
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
