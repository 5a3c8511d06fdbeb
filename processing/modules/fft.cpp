#include "processing/modules/fft.h"

#include "core/error.h"
#include "processing/modules/checks.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace tarnix::modules {

namespace {

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

void checkModuleSize(const char* who, int n, int N) {
    if (N > ModuleState::kFftSize)
        throw Error(std::string(who) + ": " + std::to_string(n) + " samples need a transform of " +
                    std::to_string(N) + " points, more than the " +
                    std::to_string(ModuleState::kFftSize) + " possible");
}

void checkSize(const char* who, int N, int limit) {
    if (!isPowerOfTwo(N) || N > limit)
        throw Error(std::string(who) + ": a transform of " + std::to_string(N) +
                    " points is not possible (a power of two up to " + std::to_string(limit) +
                    " is)");
}

// Grows to the largest stage seen and is then reused: no allocation per trace.
std::complex<double>* twiddles(int count) {
    thread_local std::vector<std::complex<double>> table;
    if (static_cast<int>(table.size()) < count) table.resize(count);
    return table.data();
}

void transform(const std::complex<double>* in, std::complex<double>* a, int N, double sign) {
    // Bit reversal is its own inverse, so a gather fills a in order.
    for (int k = 0, rev = 0; k < N; ++k) {
        a[k] = in[rev];
        int bit = N >> 1; // reversed increment
        while (bit > 0 && (rev & bit)) {
            rev ^= bit;
            bit >>= 1;
        }
        rev |= bit;
    }
    for (int half = 1, step = 2; step <= N; half = step, step *= 2) {
        const double theta = sign * 2 * std::numbers::pi / step;
        const double s = std::sin(theta / 2);
        const double wpr = 2 * s * s, wpi = std::sin(theta);
        // Every block starts the recurrence anew and walks the same factors, so
        // they are generated once per stage and the blocks read them.
        std::complex<double>* w = twiddles(half);
        double wr = 1, wi = 0;
        for (int j = 0; j < half; ++j) {
            w[j] = {wr, wi};
            const double t1 = wpr * wr + wpi * wi;
            wi = wi - (wpr * wi - wpi * wr);
            wr = wr - t1;
        }
        for (int s0 = 0; s0 < N; s0 += step) {
            for (int j = 0; j < half; ++j) {
                const int p = s0 + j, q = p + half;
                const double cr = w[j].real(), ci = w[j].imag();
                const double tr = cr * a[q].real() - ci * a[q].imag();
                const double ti = cr * a[q].imag() + ci * a[q].real();
                a[q] = {a[p].real() - tr, a[p].imag() - ti};
                a[p] = {a[p].real() + tr, a[p].imag() + ti};
            }
        }
    }
}

} // namespace

PowerOfTwo powerOfTwo(int n) {
    int m = 0, N = 1;
    while (N < n && m < 30) N = 1 << ++m;
    return {N, m};
}

void fftForward(const std::complex<double>* in, std::complex<double>* out, int N) {
    checkSize("FFT", N, 1 << 30);
    transform(in, out, N, +1);
}

void fftInverse(const std::complex<double>* in, std::complex<double>* out, int N) {
    checkSize("FFT", N, 1 << 30);
    transform(in, out, N, -1);
    for (int k = 0; k < N; ++k) out[k] = {out[k].real() / N, out[k].imag() / N};
}

void secondFft(const long double* x, int numSamples, int m, int N, long double* re,
               long double* im) {
    checkSize("Spectrum", N, kTraceSlots);
    re -= 1; // 1-based below
    im -= 1;
    for (int k = 1; k <= N; ++k) {
        re[k] = k <= numSamples ? x[k - 1] : 0;
        im[k] = 0;
    }
    for (int i = 1, j = 1; i <= N - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        int k = N / 2;
        while (k < j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    int le = 1;
    for (int stage = 0; stage < m; ++stage) {
        le *= 2;
        const int le1 = le / 2;
        long double ur = 1, ui = 0;
        const long double wr = std::cos(std::numbers::pi_v<long double> / le1);
        const long double wi = std::sin(std::numbers::pi_v<long double> / le1);
        for (int j = 1; j <= le1; ++j) {
            // Only the indices congruent to j modulo le carry a butterfly.
            for (int i = j; i <= N - le1; i += le) {
                const int ip = i + le1;
                const long double tr = re[ip] * ur - im[ip] * ui;
                const long double ti = im[ip] * ur + re[ip] * ui;
                re[ip] = re[i] - tr;
                im[ip] = im[i] - ti;
                re[i] = re[i] + tr;
                im[i] = im[i] + ti;
            }
            const long double t = ur * wr - ui * wi;
            ui = ui * wr + ur * wi;
            ur = t;
        }
    }
}

void spectrum(int N, int numSamples, const long double* re, const long double* im, long double* amp,
              long double* phase) {
    const int count = std::max(N, numSamples);
    for (int k = 1; k <= count; ++k) {
        if (k <= numSamples && k <= N) {
            amp[k - 1] = std::sqrt(re[k - 1] * re[k - 1] + im[k - 1] * im[k - 1]);
            phase[k - 1] = std::atan2(-im[k - 1], re[k - 1]);
        } else {
            amp[k - 1] = 0;
            phase[k - 1] = 0;
        }
    }
    long double peak = N >= 2 ? amp[1] : 0;
    for (int k = 2; k <= N / 2; ++k)
        if (amp[k - 1] > peak) peak = amp[k - 1];
    for (int k = 1; k <= numSamples; ++k)
        amp[k - 1] = (k > N / 2 || peak == 0) ? 0 : amp[k - 1] / peak;
}

void fftf(TraceBuffer& trace, int numSamples, int cutoff, std::string_view type,
          ModuleState& state) {
    const int n = checkedCount("FFTF", numSamples);
    const int N = powerOfTwo(n).N;
    checkModuleSize("FFTF", n, N);
    auto* z = state.fftIn.data();
    auto* Z = state.fftOut.data();
    for (int k = 0; k < N; ++k) z[k] = {k < n ? static_cast<double>(trace[k]) : 0.0, 0.0};
    fftForward(z, Z, N);
    const bool lowPass = type == "LP";
    for (int k = 1; k <= N; ++k) {
        const bool keep = lowPass ? k < cutoff : k > cutoff;
        if (!keep) Z[k - 1] = 0;
    }
    fftInverse(Z, z, N);
    for (int k = 0; k < n; ++k) trace[k] = z[k].real();
}

void fftm(TraceBuffer& trace, int numSamples, ModuleState& state) {
    const int n = checkedCount("FFTM", numSamples);
    const int N = powerOfTwo(n).N;
    checkModuleSize("FFTM", n, N);
    auto* z = state.fftIn.data();
    auto* Z = state.fftOut.data();
    for (int k = 0; k < N; ++k) z[k] = {k < n ? static_cast<double>(trace[k]) : 0.0, 0.0};
    fftForward(z, Z, N);
    for (int k = 0; k < n; ++k)
        trace[k] = std::sqrt(std::fabs(Z[k].real()) + std::fabs(Z[k].imag()));
}

} // namespace tarnix::modules
