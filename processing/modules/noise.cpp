#include "processing/modules/noise.h"

#include "core/error.h"
#include "processing/modules/checks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarnix::modules {

int spfm(TraceBuffer& trace, int n, long long threshold) {
    n = checkedCount("SPFM", n);
    const Sample t = static_cast<Sample>(threshold);
    Sample* x = trace.data();
    for (int i = 0; i < n; ++i)
        if (t <= x[i]) x[i] = 0;
    return n;
}

int rnfm(TraceBuffer& trace, int n, const Sample* b, const Sample* c, long long threshold) {
    n = checkedCount("RNFM", n);
    const Sample t = static_cast<Sample>(threshold);
    Sample* a = trace.data();
    // Rejection is a flag of its own: a sample of -1 is a sample like any other.
    for (int i = 0; i < n; ++i) {
        const Sample ai = a[i], bi = b[i], ci = c[i];
        const bool rejectA = t < std::fabs(ai - bi) && t < std::fabs(ai - ci);
        if (!rejectA) continue;
        const Sample d = bi - ci;
        if (!(d > t))
            a[i] = bi;
        else if (!(-d > t))
            a[i] = ci;
        else
            a[i] = 0;
    }
    return n;
}

int hbfm(TraceBuffer& trace, int n, int percent, const TraceBuffer& mean) {
    n = checkedCount("HBFM", n);
    if (percent == 0) throw Error("HBFM: 0 % of filtering divides by zero");
    const Sample k = static_cast<Sample>(100 / percent);
    Sample* x = trace.data();
    const Sample* m = mean.data();
    for (int i = 0; i < n; ++i) x[i] -= k * m[i];
    return n;
}

int swellShift(const TraceBuffer& trace, int n, long long pick, int halfWindow) {
    const long long b = pick, w = halfWindow;
    if (!(b - w > 0 && b + w < n)) return 0;
    const Sample* x = trace.data();
    Sample best = 0;
    long long p = -1;
    for (long long k = b - w; k <= b + w; ++k)
        if (x[k - 1] > best) {
            best = x[k - 1];
            p = k;
        }
    return p < 0 ? 0 : static_cast<int>(b - p);
}

int swell(TraceBuffer& trace, int n, long long pick, int halfWindow) {
    n = checkedCount("SWELL", n);
    const int d = swellShift(trace, n, pick, halfWindow);
    Sample* x = trace.data();
    if (d > 0) {
        // Later: samples 1..d keep their values.
        if (d < n) std::memmove(x + d, x, static_cast<size_t>(n - d) * sizeof(Sample));
    } else if (d < 0) {
        // Earlier: the window lies inside the trace, so n - d slots fit the buffer.
        std::memmove(x, x - d, static_cast<size_t>(n) * sizeof(Sample));
    }
    return n;
}

int tmxm(TraceBuffer& trace, int n, std::span<const Sample* const> neighbours) {
    n = checkedCount("TMXM", n);
    Sample* x = trace.data();
    const Sample count = static_cast<Sample>(neighbours.size() + 1);
    if (neighbours.empty()) return 0;
    for (int i = 0; i < n; ++i) {
        Sample sum = x[i];
        for (const Sample* t : neighbours) sum += t[i];
        x[i] = sum / count;
    }
    return n;
}

int mutm(TraceBuffer& trace, int n, long long pick) {
    n = checkedCount("MUTM", n);
    const int m = static_cast<int>(std::clamp<long long>(pick, 0, n));
    std::fill(trace.begin(), trace.begin() + m, Sample(0));
    return m;
}

int resm(TraceBuffer& trace, int n, int factor) {
    n = checkedCount("RESM", n);
    if (factor < 1)
        throw Error("RESM: cannot resample by " + std::to_string(factor) +
                    "; the factor is at least 1");
    const int blocks = n / factor;
    Sample* x = trace.data();
    // Block j lies at or after slot j, so each average is written over samples
    // already read.
    for (int j = 0; j < blocks; ++j) {
        const Sample* src = x + static_cast<long long>(j) * factor;
        Sample sum = 0;
        for (int k = 0; k < factor; ++k) sum += src[k];
        x[j] = sum / factor;
    }
    return blocks;
}

} // namespace tarnix::modules
