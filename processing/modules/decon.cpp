#include "processing/modules/decon.h"

#include "core/error.h"
#include "processing/modules/checks.h"
#include "processing/modules/fft.h"
#include "processing/modules/fir.h"
#include "processing/modules/gain.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarnix::modules {

void correlate(int na, int nb, int K, long double* r, const long double* a, const long double* b) {
    for (int k = 0; k < K; ++k) {
        const int c = std::min(nb, na - k);
        long double s = 0;
        for (int i = 0; i < c; ++i) s += b[i + k] * a[i];
        r[k] = s;
    }
}

namespace {

// Lags one at a time, four partial sums each: exact zeros stay exact.
void autocorrelateDirect(int n, int K, long double* r, const double* x) {
    for (int k = 0; k < K; ++k) {
        const int c = n - k;
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        int i = 0;
        for (; i + 4 <= c; i += 4) {
            s0 += x[i] * x[i + k];
            s1 += x[i + 1] * x[i + k + 1];
            s2 += x[i + 2] * x[i + k + 2];
            s3 += x[i + 3] * x[i + k + 3];
        }
        for (; i < c; ++i) s0 += x[i] * x[i + k];
        r[k] = (s0 + s1) + (s2 + s3);
    }
}

} // namespace

void autocorrelate(int n, int K, long double* r, const long double* x, ModuleState& state) {
    n = std::max(n, 0);
    const int lags = std::min(K, n);
    for (int k = lags; k < K; ++k) r[k] = 0; // no overlap at these lags
    if (lags <= 0) return;
    const int N = powerOfTwo(n + lags - 1).N;
    if (static_cast<long long>(n) * lags <= 4'000'000 || N > ModuleState::kCorrFftSize) {
        double* xd = state.xd.data();
        for (int i = 0; i < n; ++i) xd[i] = static_cast<double>(x[i]);
        autocorrelateDirect(n, lags, r, xd);
        return;
    }
    // Many lags: the inverse transform of the power spectrum, zero-padded so
    // that no lag wraps around.
    auto* z = state.corrA.data();
    auto* Z = state.corrB.data();
    for (int i = 0; i < N; ++i) z[i] = {i < n ? static_cast<double>(x[i]) : 0.0, 0.0};
    fftForward(z, Z, N);
    for (int i = 0; i < N; ++i) Z[i] = std::norm(Z[i]);
    fftInverse(Z, z, N);
    for (int k = 0; k < lags; ++k) r[k] = z[k].real();
}

bool normalisePrewhiten(int K, int gap, long double* r, long double* g, long double p) {
    if (K <= 0 || r[0] == 0) return false;
    for (int k = 1; k < K; ++k) r[k] /= r[0];
    r[0] = 1 + p;
    for (int j = 0; j + gap < K; ++j) g[j] = r[gap + j];
    return true;
}

namespace {

// sum over j < m of u[j] * v[m - 1 - j], in four independent partial sums.
long double reverseDot(const long double* u, const long double* v, int m) {
    long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    int j = 0;
    for (; j + 4 <= m; j += 4) {
        s0 += u[j] * v[m - 1 - j];
        s1 += u[j + 1] * v[m - 2 - j];
        s2 += u[j + 2] * v[m - 3 - j];
        s3 += u[j + 3] * v[m - 4 - j];
    }
    for (; j < m; ++j) s0 += u[j] * v[m - 1 - j];
    return (s0 + s1) + (s2 + s3);
}

} // namespace

long double solveToeplitz(int L, const long double* r, const long double* g, long double* f,
                          long double* work) {
    if (L <= 0) return 0;
    auto singular = [](int order) {
        return Error("The Toeplitz system is singular at order " + std::to_string(order));
    };
    if (r[0] == 0 || !std::isfinite(r[0])) throw singular(1);
    long double* a = work; // forward prediction vector, a[0] = 1
    a[0] = 1;
    long double err = r[0];
    f[0] = g[0] / r[0];
    for (int m = 1; m < L; ++m) {
        const long double k = -reverseDot(a, r + 1, m) / err;
        a[m] = 0;
        for (int j = 0, i = m; j <= i; ++j, --i) { // both ends of a pair at once
            const long double lo = a[j], hi = a[i];
            a[j] = lo + k * hi;
            a[i] = hi + k * lo;
        }
        err *= 1 - k * k;
        if (err == 0 || !std::isfinite(err)) throw singular(m + 1);
        // The reversed prediction vector corrects the newest equation only.
        const long double mu = (g[m] - reverseDot(f, r + 1, m)) / err;
        f[m] = 0;
        for (int j = 0; j <= m; ++j) f[j] += mu * a[m - j];
    }
    for (int j = 0; j < L; ++j)
        if (!std::isfinite(f[j])) throw singular(L);
    return err;
}

int predictionErrorOperator(int gap, int L, const long double* f, long double* d) {
    d[0] = 1;
    for (int j = 1; j < gap; ++j) d[j] = 0;
    for (int j = 0; j < L; ++j) d[gap + j] = -f[j];
    return gap + L;
}

void decm(TraceBuffer& trace, int numSamples, int operatorLength, int gap, long double prewhitening,
          ModuleState& state) {
    const int n = checkedCount("DECM", numSamples);
    int L = operatorLength;
    if (L > 1024) L = 1024;
    if (L <= 1) L = 128;
    int a = gap;
    if (a < 1 || a > n - L) a = 1; // a + L could pass the int range
    const int K = a + L;
    if (static_cast<long long>(n) + K - 1 > kTraceSlots)
        throw Error("DECM: " + std::to_string(n) + " samples and an operator of " +
                    std::to_string(K) + " points do not fit the trace buffer");
    long double* r = state.r.data();
    autocorrelate(n, K, r, trace.data(), state);
    if (!std::isfinite(r[0])) throw Error("DECM: the trace holds samples that are not numbers");
    if (!normalisePrewhiten(K, a, r, state.g.data(), prewhitening)) return; // a dead trace
    try {
        solveToeplitz(L, r, state.g.data(), state.f.data(), state.lev.data());
    } catch (const Error& e) {
        throw Error(std::string("DECM: ") + e.what());
    }
    const int D = predictionErrorOperator(a, L, state.f.data(), state.d.data());
    convolveFast(n, D, n + D - 1, state.d.data(), D, trace.data(), false, trace.data(), state);
}

void acfm(TraceBuffer& trace, int numSamples, int nd, int p, int fullScale, long double sampleRate,
          bool redesign, ModuleState& state) {
    const int n = checkedCount("ACFM", numSamples);
    if (p < 1) p = 1;
    constexpr int kLength = 32;
    const int m = checkedCount("ACFM", nd);
    if (static_cast<long long>(m) + kLength > kTraceSlots)
        throw Error("ACFM: " + std::to_string(m) + " samples do not fit the band-pass filter");
    long double* A = state.r.data();
    autocorrelate(n, n, A, trace.data(), state);
    if (n > 0 && !std::isfinite(A[0]))
        throw Error("ACFM: the trace holds samples that are not numbers");
    normalise(A, n, 1, fullScale);
    dbas(A, n);

    long double* B = state.b.data();
    std::copy_n(trace.begin(), std::max(n, m + kLength), B);
    fltm(B, 1, m, kHanning, redesign, kLength, 5000, 300, state.fltmType, sampleRate, state);
    normalise(B, n, 1, fullScale);
    for (int k = 0; k < n; ++k) B[k] += A[k] / p;
    normalise(B, n, 1, fullScale);
    std::copy_n(B, n, trace.begin());
}

} // namespace tarnix::modules
