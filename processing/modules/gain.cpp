#include "processing/modules/gain.h"

#include "processing/modules/checks.h"

#include <cmath>

namespace tarnix::modules {

void agcm(TraceBuffer& trace, int n, int window, ModuleState& state) {
    n = checkedCount("AGCM", n);
    if (window <= 0 || n == 0) return;
    if (window % 2 == 0) ++window;
    const int h = window / 2;
    const int first = h + 1; // sample numbers from 1
    const int last = n - h;
    if (last < first) return;

    long double* x = state.x.data() - 1; // x[1..n]
    long double level = 0;
    for (int i = 1; i <= n; ++i) {
        x[i] = trace[i - 1];
        level += std::fabs(x[i]);
    }
    level /= n;

    // Window sum and count of non-zero samples slide with j, so the cost does
    // not depend on the window length.
    long double sum = 0;
    int count = 0;
    for (int k = 1; k <= window - 1; ++k) {
        sum += std::fabs(x[k]);
        count += x[k] != 0;
    }
    long double a = 0;
    for (int j = first; j <= last; ++j) {
        const long double in = x[j + h];
        sum += std::fabs(in);
        count += in != 0;
        a = count > 0 ? (a + sum) / count : 0;
        const long double gain = a != 0 ? level / a : level;
        trace[j - 1] = x[j] * gain;
        if (j == first)
            for (int i = 1; i < first; ++i) trace[i - 1] *= gain;
        if (j == last)
            for (int i = last + 1; i <= n; ++i) trace[i - 1] *= gain;
        const long double out = x[j - h];
        count -= out != 0;
        // An empty window restarts the sum, so rounding never accumulates over
        // a long quiet stretch.
        sum = count > 0 ? sum - std::fabs(out) : 0;
    }
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
