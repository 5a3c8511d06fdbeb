#include "processing/modules/fft.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using namespace tarnix;
using namespace tarnix::modules;
using cd = std::complex<double>;

namespace {

// Textbook DFT, kernel e^(+2 pi i jk/N), every angle computed anew.
std::vector<std::complex<long double>> directDft(const std::vector<cd>& x) {
    const int N = static_cast<int>(x.size());
    std::vector<std::complex<long double>> X(N);
    for (int k = 0; k < N; ++k)
        for (int j = 0; j < N; ++j) {
            const long double ang = 2 * std::numbers::pi_v<long double> * ((long(j) * k) % N) / N;
            X[k] += std::complex<long double>(x[j]) * std::polar(1.0L, ang);
        }
    return X;
}

} // namespace

TEST(PowerOfTwo, SmallestPowerNotBelowN) {
    EXPECT_EQ(powerOfTwo(1000).N, 1024);
    EXPECT_EQ(powerOfTwo(1000).m, 10);
    EXPECT_EQ(powerOfTwo(1024).N, 1024);
    EXPECT_EQ(powerOfTwo(1024).m, 10);
    EXPECT_EQ(powerOfTwo(1025).N, 2048);
    EXPECT_EQ(powerOfTwo(0).N, 1);
    EXPECT_EQ(powerOfTwo(0).m, 0);
}

TEST(Fft, BothTransformsMatchDirectSumAndInvert) {
    std::mt19937 gen(1);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int N : {1, 2, 64, 16384}) {
        std::vector<cd> x(N), X(N), back(N);
        for (auto& z : x) z = {u(gen), u(gen)};
        fftForward(x.data(), X.data(), N);
        fftInverse(X.data(), back.data(), N);
        for (int k = 0; k < N; ++k) ASSERT_LT(std::abs(back[k] - x[k]), 1e-12) << N;
        if (N > 64) continue;
        const auto ref = directDft(x);
        for (int k = 0; k < N; ++k)
            ASSERT_LT(std::abs(std::complex<long double>(X[k]) - ref[k]), 1e-12L);
    }
    // The extended-precision transform of a real trace, zero-padded 200 -> 256.
    std::vector<cd> z(256);
    std::vector<long double> x(200), re(256), im(256);
    for (int i = 0; i < 200; ++i) z[i] = x[i] = std::round(u(gen) * 1000);
    secondFft(x.data(), 200, 8, 256, re.data(), im.data());
    const auto ref = directDft(z);
    for (int k = 0; k < 256; ++k)
        ASSERT_LT(std::abs(std::complex<long double>(re[k], im[k]) - ref[k]), 1e-9L);
}

TEST(Spectrum, SinePeaksAtItsBinAndZeroTraceGivesZeros) {
    // 250 Hz sampled at 4 kHz: 64 cycles in 1024 samples, bin 65 counted from 1.
    const int n = 1024;
    std::vector<long double> x(n), re(n), im(n), amp(n), ph(n);
    for (int i = 0; i < n; ++i)
        x[i] = 1000 * std::sin(2 * std::numbers::pi_v<long double> * 250 * i / 4000) + 300;
    secondFft(x.data(), n, 10, n, re.data(), im.data());
    spectrum(n, n, re.data(), im.data(), amp.data(), ph.data());
    EXPECT_EQ(std::max_element(amp.begin() + 1, amp.begin() + n / 2) - amp.begin(), 64);
    EXPECT_DOUBLE_EQ(double(amp[64]), 1.0);
    EXPECT_NEAR(double(amp[0]), 0.6, 1e-12); // DC 300 * 1024 over peak 1000 * 512
    EXPECT_EQ(amp[n / 2], 0);
    EXPECT_NEAR(double(ph[64]), -std::numbers::pi / 2, 1e-9); // X = +i N/2 with this kernel

    std::fill(x.begin(), x.end(), 0);
    secondFft(x.data(), n, 10, n, re.data(), im.data());
    spectrum(n, n, re.data(), im.data(), amp.data(), ph.data());
    EXPECT_EQ(std::count(amp.begin(), amp.end(), 0.0L), n);
}

TEST(FftModules, MaskEdgesAndPseudoSpectrum) {
    ModuleState st;
    auto t = std::make_unique<TraceBuffer>();
    t->fill(9);
    for (int i = 0; i < 1000; ++i) (*t)[i] = 100 * std::cos(i * 0.3) + i % 7;
    const auto orig = std::make_unique<TraceBuffer>(*t);

    fftf(*t, 1000, 1, "LP", st); // bin 1 and everything above removed
    EXPECT_EQ(std::count(t->begin(), t->begin() + 1000, 0.0L), 1000);
    EXPECT_EQ((*t)[1000], 9);

    *t = *orig;
    fftf(*t, 1000, 0, "HP", st); // every bin kept
    for (int i = 0; i < 1000; ++i) ASSERT_NEAR(double((*t)[i]), double((*orig)[i]), 1e-9);

    t->fill(0);
    fftm(*t, 1000, st);
    EXPECT_EQ(std::count(t->begin(), t->begin() + 1000, 0.0L), 1000);
    (*t)[0] = 16; // every bin (16, 0): y = sqrt(16)
    fftm(*t, 1000, st);
    EXPECT_EQ(std::count(t->begin(), t->begin() + 1000, 4.0L), 1000);
    EXPECT_NO_THROW(fftm(*t, 16384, st));
    EXPECT_THROW(fftf(*t, 16385, 5, "LP", st), Error); // would need 32768 points
}
